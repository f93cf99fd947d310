#include "platform/fontconfiguration.h"

#include <fontconfig/fontconfig.h>

namespace platform {

FontConfigurationReader::FontConfigurationReader()
    : m_thread([] { FcInit(); })
{
}

FontConfigurationReader::~FontConfigurationReader()
{
    m_thread.join();
}

} // namespace platform
