#pragma once
// What assistive technology is told about the program's own kinds of
// control, where the toolkit's defaults would mislead: the status panels
// are a status bar, a GroupPanel is a group, and the drive list is named
// by its purpose rather than by the drive it happens to show.

namespace accessibility {

// Registers the descriptions once; later calls do nothing.
void InstallControlDescriptions();

}  // namespace accessibility
