// The configuration plan of Adapset.
#include "ConfigurationPlan.h"

#include "RegistryEncoding.h"

namespace {

const char kServicesPath[] = "SYSTEM\\CurrentControlSet\\Services\\";
const char kTcpipParametersPath[] = "SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters";
const char kTcpipInterfacesPath[] = "SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Interfaces\\";
const char kNetbtInterfacesPath[] =
    "SYSTEM\\CurrentControlSet\\Services\\NetBT\\Parameters\\Interfaces\\Tcpip_";
const char kNetbtAdaptersPath[] = "SYSTEM\\CurrentControlSet\\Services\\NetBT\\Adapters\\";

// The address values both adapter keys hold; a static configuration also turns DHCP
// off there, or the adapter would ignore the static values.
std::vector<ValueWrite> AddressValues(const StaticSettings& settings) {
    return {{"IPAddress", REG_MULTI_SZ, MultiStringBytes(settings.Value(kIpAddress))},
            {"SubnetMask", REG_MULTI_SZ, MultiStringBytes(settings.Value(kMask))},
            {"DefaultGateway", REG_MULTI_SZ, MultiStringBytes(settings.Value(kGateway))}};
}

const ValueWrite kDhcpOff = {"EnableDHCP", REG_DWORD, DwordBytes(0)};

std::string NameServers(const StaticSettings& settings, char separator) {
    return JoinNameServers(settings.Value(kNameServer1), settings.Value(kNameServer2), separator);
}

// NameServerList: both WINS servers, the one given, or an empty list that clears it.
std::string WinsListBytes(const char* first, const char* second) {
    if (first[0] != '\0' && second[0] != '\0') return MultiStringPairBytes(first, second);
    return MultiStringBytes(first[0] != '\0' ? first : second);
}

}  // namespace

std::vector<KeyWrites> PlanConfiguration(const StaticSettings& settings) {
    const std::string service = settings.ServiceName();
    const char* wins1 = settings.Value(kWinsServer1);
    const char* wins2 = settings.Value(kWinsServer2);

    KeyWrites adapter{kServicesPath + service + "\\Parameters\\Tcpip", true, AddressValues(settings)};
    adapter.values.push_back(kDhcpOff);
    KeyWrites interfaceKey{kTcpipInterfacesPath + service, true, AddressValues(settings)};
    interfaceKey.values.push_back({"NameServer", REG_SZ, StringBytes(NameServers(settings, ',').c_str())});
    interfaceKey.values.push_back(kDhcpOff);
    KeyWrites parameters{kTcpipParametersPath,
                         false,
                         {{"NameServer", REG_SZ, StringBytes(NameServers(settings, ' ').c_str())}}};
    KeyWrites netbtInterface{kNetbtInterfacesPath + service,
                             false,
                             {{"NameServerList", REG_MULTI_SZ, WinsListBytes(wins1, wins2)}}};
    // Empty WINS arguments leave the NetBT adapter values as they were.
    KeyWrites netbtAdapter{kNetbtAdaptersPath + service, false, {}};
    if (wins1[0] != '\0') netbtAdapter.values.push_back({"NameServer", REG_SZ, StringBytes(wins1)});
    if (wins2[0] != '\0') netbtAdapter.values.push_back({"NamerServerBackup", REG_SZ, StringBytes(wins2)});

    std::vector<KeyWrites> plan;
    for (KeyWrites* writes : {&adapter, &interfaceKey, &parameters, &netbtInterface, &netbtAdapter})
        if (!writes->values.empty()) plan.push_back(std::move(*writes));
    return plan;
}
