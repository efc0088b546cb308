#pragma once

class Unit;

// The unit's editor view, as a host asks for it: the view factory the
// CocoaUI property names makes it. Null when the unit offers none, or its
// factory makes none, as Morvex's does when its images cannot be read;
// *offered tells which. Throws ToolError when the property fails otherwise
// or the factory class is missing. [UI thread]
void* OpenView(Unit& unit, bool* offered = nullptr);
