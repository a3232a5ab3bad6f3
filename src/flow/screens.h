// screens.h -- the painters of the front-end screens and the two closing screens.
#pragma once

// Title: panel, picture, five buttons and the version text, presented in full.
void ShowTitleScreen();

// Key definition and volume: in full (cleared, framed, presented) or only their panel images again.
void ShowKeysScreen(bool full);
void ShowVolumeScreen(bool full);

// The volume level picture for volumeSetting, not presented.
void ShowVolumeLevel();

void ShowInfoScreen();

// The closing screens; each holds the program for three seconds.
void ShowGameOver();
void ShowGameEnd();
