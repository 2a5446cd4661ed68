// Texts of the public error codes.
#pragma once

namespace tarvo {

// The table text of `code` for codes 1..37, null for 0 and codes from 38 up (they have none).
const char* ErrorTableText(int code);

}  // namespace tarvo
