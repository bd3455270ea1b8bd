#include "tools/sim/LineFaults.h"

std::string ApplyLineFaults(const std::string& answer, const std::string& command,
                            const TLineFaults& faults) {
  std::string arrived = answer;
  const std::string echo = command + " ";
  if (faults.NoEcho && arrived.starts_with(echo))
    arrived.erase(0, echo.size());
  else if (faults.PartialEcho && arrived.starts_with(echo))
    arrived.erase((command.size() + 1) / 2, command.size() / 2);
  if (faults.FirstByteLost && !arrived.empty())
    arrived.erase(0, 1);
  return arrived;
}

std::string WrongRateGarbage(const std::string& answer) {
  std::string garbage;
  for (std::size_t i = 0; i < answer.size(); i += 2)
    garbage += static_cast<char>((static_cast<unsigned char>(answer[i]) ^ 0xA5U) | 0x80U);
  return garbage;
}
