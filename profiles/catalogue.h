// The built-in catalogue: 16 categories, 147 profiles, and the current profile.
#pragma once

#include "profile.h"

inline constexpr int kCategoryCount = 16;
inline constexpr int kGeneralAudioCategory = 14;
inline constexpr int kLosslessAudioCategory = 15;
inline constexpr int kFirstProfileCommand = 10000;

// The categories in catalogue order; entry i has index i.
extern ProfileCategory g_categories[kCategoryCount];

// The profile new jobs take; set by the main window at start-up and by a menu choice.
extern ConversionProfile* currentProfile;

// The profile the window starts with, and the command-line converter's default: "MP3 -
// MPEG Layer-3 Audio" of General Audio, else that category's first.
ConversionProfile* startProfile();

// Menu command of a profile: 10000 + 100 x category index + position in the category.
int profileCommandId(const ConversionProfile& profile);

// The profile a menu command names; nullptr for ids below 10000 (the dismissed
// menu among them). Unknown categories fall back to the catalogue's first profile,
// positions past a category's end to that category's first profile.
ConversionProfile* profileForCommand(int id);

// The profile `name` of category `categoryIndex`, or nullptr.
ConversionProfile* findProfile(int categoryIndex, const char* name);
