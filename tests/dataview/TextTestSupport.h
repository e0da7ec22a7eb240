#pragma once
// The pieces that expected data-view texts share.

#include <string>

#include "tests/model/LoadModel.h"

namespace dataviewtest {

inline const std::string kSep =
    "------------------------------------------------------------\r\n\r\n";

}  // namespace dataviewtest
