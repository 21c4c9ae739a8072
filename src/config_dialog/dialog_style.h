#pragma once
// The configuration dialog's fonts and button colours, as a style sheet that
// applies only under the style class config_dialog_style_class.

inline constexpr const char* config_dialog_style_class = "orvalis-config";

// Safe to call more than once; the sheet is added to the default screen once.
void install_config_dialog_style();
