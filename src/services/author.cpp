// author.cpp -- the author's start of a new game, unset until a host sets it.
#include "services/author.h"

AuthorStart authorStart;
