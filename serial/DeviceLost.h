#pragma once

#include "base/Exception.h"

// The device behind an open port is gone or takes no more data. The port
// has been closed already; its owner lets go of it too, so nothing is sent
// on it again until the operator opens the port anew.
class TDeviceLost : public Exception {
public:
  using Exception::Exception;
};
