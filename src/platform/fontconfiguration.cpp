#include "platform/fontconfiguration.h"

#include <fontconfig/fontconfig.h>

#include <system_error>

namespace platform {

FontConfigurationReader::FontConfigurationReader()
{
    try {
        m_thread = std::thread([] { FcInit(); });
    } catch (const std::system_error &) {
        // No thread to be had: the toolkit reads the configuration itself
        // when the first text needs it, as it would without this.
    }
}

FontConfigurationReader::~FontConfigurationReader()
{
    if (m_thread.joinable())
        m_thread.join();
}

} // namespace platform
