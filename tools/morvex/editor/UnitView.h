#pragma once

class Unit;

// The unit's editor view, as a host asks for it: the view factory the
// CocoaUI property names makes it. Null when the unit offers none, which
// Morvex does when its images cannot be read. Throws ToolError when the
// property or the factory class fails. [UI thread]
void* OpenView(Unit& unit);
