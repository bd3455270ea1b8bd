#pragma once

// When an exchange stops collecting the answer: after the answer delay
// whatever arrived, or as soon as an answer line has ended (the answer
// delay then the longest wait).
enum class TAnswerEnd { Wait, Line };
