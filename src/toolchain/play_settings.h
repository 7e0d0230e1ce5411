#pragma once
#include "settings_keys.h"

// Settings of the play pane and of walkthrough replays.
inline constexpr const char* SECTION_PLAY = "Editor\\Play";
// Empty: emglken when it can run, else /usr/games/dfrotz (ChoosePlayEngine).
inline constexpr StringSettingKey SETTING_PLAY_INTERPRETER{SECTION_PLAY, "Interpreter", ""};
// Where emglken is installed; empty: TORVANE_EMGLKEN, else where scripts/setup puts it.
inline constexpr StringSettingKey SETTING_PLAY_EMGLKEN{SECTION_PLAY, "Emglken", ""};
inline constexpr IntSettingKey SETTING_PLAY_SEED{SECTION_PLAY, "Seed", 1};
inline constexpr IntSettingKey SETTING_PLAY_WIDTH{SECTION_PLAY, "Width", 80};
// Seconds a walkthrough's replay may take before it is stopped.
inline constexpr IntSettingKey SETTING_PLAY_TIME_LIMIT{SECTION_PLAY, "TimeLimit", 30};
// 1: Run walkthroughs after every successful compile.
inline constexpr IntSettingKey SETTING_PLAY_AFTER_COMPILE{SECTION_PLAY, "RunAfterCompile", 0};
