#pragma once

class QWidget;
class Session;

// Localises the configuration editor from the label identifiers its controls hold: the
// "tag" property of the window, of its labels, check boxes and Save/Cancel buttons, and
// the tag and tool tip of each tab of TSConfig. Frames and the browse buttons keep their
// design captions. The tags keep their identifiers.
void ApplyEditorLabels(Session &session, QWidget &window);
