#pragma once
// The arrows of the configuration dialog: choosing a pane and moving its stored
// scroll offsets by one step, then writing the new offset into that pane at once.
// No widgets here; the dialog turns option and arrow clicks into these calls.

#include "browser_pane/pane.h"
#include "settings/settings_store.h"

enum class Arrow { Left, Up, Right, Down };

// Remembers pane n (1..4) as the one the arrows move.
void select_pane(SettingsStore& store, int n);

// One step for the chosen pane. The arrow moves the page the way it points, so
// Left and Up raise the offsets and Right and Down lower them. Does nothing until
// a pane has been chosen; an offset that is not a number stays as it is and is
// not written.
void arrow_click(SettingsStore& store, const PaneSet& panes, Arrow arrow);
