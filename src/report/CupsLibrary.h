#pragma once

namespace zel::report {

// The CUPS client library, loaded on first use; throws TRpError when it cannot be.
void* cupsLibrary();

} // namespace zel::report
