// What every reader returns: the record that becomes one row of the index store.
#pragma once

#include "catalog/FileInfo.h"

namespace zyl::extract {

using catalog::ErrorInfo;
using catalog::FileInfo;

}  // namespace zyl::extract
