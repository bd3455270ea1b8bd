#pragma once

#include <ostream>

// The machine's COM ports as the window lists them, one a line: name,
// description, device, tab-separated; or a JSON array of objects with
// those three keys.
void ListPorts(std::ostream& out, bool json);
