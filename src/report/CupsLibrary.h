#pragma once

namespace zel::report {

// Loads the CUPS client library, which its functions otherwise do on first use; throws
// TRpError when it cannot be.
void loadCupsLibrary();

} // namespace zel::report
