#pragma once
#include "apply/ConnectionChecks.h"

// The real checks (the connection_check library), each run on a thread of its own
// while the user-interface thread waits dispatching its messages, so the pages keep
// painting and answering as they do while programs run.
class CConnectionChecks : public IConnectionChecks {
public:
    bool GatewayAnswers(const std::string& gateway) override;
    bool DnsServerAnswers(const std::string& server) override;
};
