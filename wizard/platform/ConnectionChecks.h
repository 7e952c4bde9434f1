#pragma once
#include "apply/ConnectionChecks.h"

// The real checks (the connection_check library, both at once) on a thread of their
// own while the user-interface thread waits dispatching its messages, so the pages
// keep painting and answering as they do while programs run.
class CConnectionChecks : public IConnectionChecks {
public:
    ConnectionCheck::CheckResults Run(const std::string& gateway, const std::string& dnsServer) override;
};
