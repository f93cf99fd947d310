#include "platform/fontconfiguration.h"

namespace platform {

// Windows keeps its fonts known to every program: there is nothing to read
// ahead.
FontConfigurationReader::FontConfigurationReader() = default;

FontConfigurationReader::~FontConfigurationReader() = default;

} // namespace platform
