// Help and the about box: the help volume "Glosset" at the topic of the place
// the user asked from, and what the program is and which files it uses.
#pragma once
#include <X11/Intrinsic.h>

// The help volume and the location ids of its topics that the windows use.
inline constexpr char kHelpVolume[] = "Glosset";
inline constexpr char kHelpHome[] = "_hometopic";
inline constexpr char kHelpFind[] = "Find";
inline constexpr char kHelpSystemList[] = "SystemDictionary";
inline constexpr char kHelpUserList[] = "UserDictionary";
inline constexpr char kHelpAdd[] = "Add";
inline constexpr char kHelpModify[] = "Modify";
inline constexpr char kHelpDelete[] = "Delete";
inline constexpr char kHelpAddModify[] = "AddModify";

// The topic at `location` as quick help beside `widget`, its title and text in
// the locale's encoding, with More leading into the volume at that topic.
// Without the volume, the help window says that it is missing.
void show_context_help(Widget widget, const char *location);
// The volume at its home topic (도움말 > 사용법).
void show_usage_help();
// 정보: name, version, licence, both dictionary files and the input method.
void show_about();
