// zelvo-ogg -- a WAV tune as Ogg Vorbis, which the web page's sound service plays at a tenth of the size.
#include <SDL.h>
#include <vorbis/vorbisenc.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr const char* kUsage =
    "usage: zelvo-ogg [--quality Q] IN.wav OUT.ogg\n"
    "Encodes the WAV file IN.wav (PCM, any rate, mono or stereo) as Ogg Vorbis into OUT.ogg, at the\n"
    "quality Q (-0.1 .. 1.0, default 0.2; 0.2 is about 50 kbit/s for 22 kHz mono). OUT.ogg is written\n"
    "whole or not at all.\n";

int fail(const std::string& message) {
  std::fprintf(stderr, "zelvo-ogg: %s\n", message.c_str());
  return 1;
}

// The samples of a WAV file as floats, channel after channel within each frame.
bool readWav(const std::string& path, std::vector<float>* samples, int* channels, int* rate, std::string* problem) {
  SDL_AudioSpec spec;
  Uint8* bytes = nullptr;
  Uint32 length = 0;
  if (!SDL_LoadWAV(path.c_str(), &spec, &bytes, &length)) {
    *problem = path + ": not a WAV file this encoder reads (" + SDL_GetError() + ")";
    return false;
  }
  SDL_AudioCVT convert;
  if (SDL_BuildAudioCVT(&convert, spec.format, spec.channels, spec.freq, AUDIO_F32SYS, spec.channels, spec.freq) < 0) {
    SDL_FreeWAV(bytes);
    *problem = path + ": cannot convert its samples (" + SDL_GetError() + ")";
    return false;
  }
  std::vector<Uint8> buffer(static_cast<size_t>(length) * static_cast<size_t>(convert.len_mult));
  if (length) std::memcpy(buffer.data(), bytes, length);
  SDL_FreeWAV(bytes);
  convert.buf = buffer.data();
  convert.len = static_cast<int>(length);
  if (convert.needed && SDL_ConvertAudio(&convert) != 0) {
    *problem = path + ": cannot convert its samples (" + SDL_GetError() + ")";
    return false;
  }
  const size_t count = static_cast<size_t>(convert.needed ? convert.len_cvt : convert.len) / sizeof(float);
  samples->resize(count);
  if (count) std::memcpy(samples->data(), buffer.data(), count * sizeof(float));
  *channels = spec.channels;
  *rate = spec.freq;
  return true;
}

// The pages of an Ogg Vorbis stream of the samples.
std::string encode(const std::vector<float>& samples, int channels, int rate, float quality, std::string* problem) {
  vorbis_info info;
  vorbis_info_init(&info);
  if (vorbis_encode_init_vbr(&info, channels, rate, quality) != 0) {
    vorbis_info_clear(&info);
    *problem = "Vorbis cannot encode " + std::to_string(channels) + " channels at " + std::to_string(rate) +
               " Hz with quality " + std::to_string(quality);
    return {};
  }
  vorbis_comment comment;
  vorbis_comment_init(&comment);
  vorbis_comment_add_tag(&comment, "ENCODER", "zelvo-ogg");
  vorbis_dsp_state dsp;
  vorbis_block block;
  vorbis_analysis_init(&dsp, &info);
  vorbis_block_init(&dsp, &block);
  ogg_stream_state stream;
  ogg_stream_init(&stream, 0x5A454C56);  // any serial number: the file holds one stream
  std::string out;
  ogg_page page;
  auto take = [&](bool all) {
    while (all ? ogg_stream_flush(&stream, &page) : ogg_stream_pageout(&stream, &page)) {
      out.append(reinterpret_cast<const char*>(page.header), static_cast<size_t>(page.header_len));
      out.append(reinterpret_cast<const char*>(page.body), static_cast<size_t>(page.body_len));
    }
  };
  ogg_packet header, commentHeader, codebooks;
  vorbis_analysis_headerout(&dsp, &comment, &header, &commentHeader, &codebooks);
  ogg_stream_packetin(&stream, &header);
  ogg_stream_packetin(&stream, &commentHeader);
  ogg_stream_packetin(&stream, &codebooks);
  take(true);  // the audio starts on a page of its own

  const size_t frames = samples.size() / static_cast<size_t>(channels);
  constexpr size_t kChunk = 4096;
  for (size_t done = 0;; done += kChunk) {
    const size_t now = std::min(kChunk, frames - std::min(done, frames));
    if (now) {
      float** buffers = vorbis_analysis_buffer(&dsp, static_cast<int>(now));
      for (size_t frame = 0; frame < now; ++frame)
        for (int channel = 0; channel < channels; ++channel)
          buffers[channel][frame] = samples[(done + frame) * static_cast<size_t>(channels) + static_cast<size_t>(channel)];
    }
    vorbis_analysis_wrote(&dsp, static_cast<int>(now));  // 0 ends the stream
    ogg_packet packet;
    while (vorbis_analysis_blockout(&dsp, &block) == 1) {
      vorbis_analysis(&block, nullptr);
      vorbis_bitrate_addblock(&block);
      while (vorbis_bitrate_flushpacket(&dsp, &packet)) {
        ogg_stream_packetin(&stream, &packet);
        take(false);
      }
    }
    if (!now) break;
  }
  take(true);
  ogg_stream_clear(&stream);
  vorbis_block_clear(&block);
  vorbis_dsp_clear(&dsp);
  vorbis_comment_clear(&comment);
  vorbis_info_clear(&info);
  return out;
}

// Written to a temporary name and renamed, so a reader finds the whole file or the old one.
bool writeWhole(const std::string& path, const std::string& bytes, std::string* problem) {
  const std::string temporary = path + ".new";
  std::FILE* file = std::fopen(temporary.c_str(), "wb");
  bool written = file && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  if (file && std::fclose(file) != 0) written = false;
  if (!written || std::rename(temporary.c_str(), path.c_str()) != 0) {
    *problem = path + ": cannot write it (" + std::strerror(errno) + ")";
    std::remove(temporary.c_str());
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  float quality = 0.2f;
  std::vector<std::string> paths;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (arg == "--quality" && i + 1 < argc) {
      char* end = nullptr;
      quality = std::strtof(argv[++i], &end);
      if (end == argv[i] || *end || quality < -0.1f || quality > 1.0f)
        return fail(std::string("--quality takes a number from -0.1 to 1.0, not '") + argv[i] + "'");
    } else if (!arg.empty() && arg[0] == '-') {
      std::fprintf(stderr, "zelvo-ogg: unknown option '%s'\n%s", arg.c_str(), kUsage);
      return 2;
    } else {
      paths.push_back(arg);
    }
  }
  if (paths.size() != 2) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  std::vector<float> samples;
  int channels = 0, rate = 0;
  std::string problem;
  if (!readWav(paths[0], &samples, &channels, &rate, &problem)) return fail(problem);
  const std::string ogg = encode(samples, channels, rate, quality, &problem);
  if (ogg.empty()) return fail(problem);
  if (!writeWhole(paths[1], ogg, &problem)) return fail(problem);
  return 0;
}
