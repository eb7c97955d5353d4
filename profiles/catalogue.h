// The built-in catalogue: the product's 16 categories with their 147 profiles, one of
// today's formats after them, and the current profile.
#pragma once

#include "profile.h"

inline constexpr int kCategoryCount = 17;
inline constexpr int kGeneralAudioCategory = 14;
inline constexpr int kLosslessAudioCategory = 15;
inline constexpr int kModernAudioCategory = 16;
inline constexpr int kFirstProfileCommand = 10000;
// Menu commands name the product's sixteen categories. The one after them is offered by
// nemarro-cli alone, so a command naming it falls back like any unknown category.
inline constexpr int kCommandCategoryCount = 16;

// The categories in catalogue order; entry i has index i.
extern ProfileCategory g_categories[kCategoryCount];

// The profile new jobs take; set by the main window at start-up and by a menu choice.
extern ConversionProfile* currentProfile;

// The profile the window starts with, and the command-line converter's default: "MP3 -
// MPEG Layer-3 Audio" of General Audio, else that category's first.
ConversionProfile* startProfile();

// Menu command of a profile: 10000 + 100 x category index + position in the category
// (meaningful for the first kCommandCategoryCount categories).
int profileCommandId(const ConversionProfile& profile);

// The profile a menu command names; nullptr for ids below 10000 (the dismissed
// menu among them). Unknown categories fall back to the catalogue's first profile,
// positions past a category's end to that category's first profile.
ConversionProfile* profileForCommand(int id);

// The profile `name` of category `categoryIndex`, or nullptr.
ConversionProfile* findProfile(int categoryIndex, const char* name);
