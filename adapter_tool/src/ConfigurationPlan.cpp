// The configuration plan of Adapset.
#include "ConfigurationPlan.h"

#include "RegistryEncoding.h"
#include "settings_snapshot/AdapterKeys.h"

namespace {

using namespace SettingsSnapshot;

// A value of the adapter table with the bytes this run gives it.
ValueWrite Write(const AdapterValue& value, std::string bytes) {
    return {value.name, value.type, std::move(bytes)};
}

KeyWrites Location(AdapterKey key, const std::string& service) {
    return {AdapterKeyPath(key, service), (key & kAdapterAddressKeys) != 0, {}};
}

// The address values both adapter keys hold; a static configuration also turns DHCP
// off there, or the adapter would ignore the static values.
std::vector<ValueWrite> AddressValues(const StaticSettings& settings) {
    return {Write(kIPAddress, MultiStringBytes(settings.Value(kIpAddress))),
            Write(kSubnetMask, MultiStringBytes(settings.Value(kMask))),
            Write(kDefaultGateway, MultiStringBytes(settings.Value(kGateway)))};
}

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
    const ValueWrite dhcpOff = Write(kEnableDhcp, DwordBytes(0));

    KeyWrites adapter = Location(kAdapterTcpip, service);
    adapter.values = AddressValues(settings);
    adapter.values.push_back(dhcpOff);
    KeyWrites interfaceKey = Location(kTcpipInterface, service);
    interfaceKey.values = AddressValues(settings);
    interfaceKey.values.push_back(Write(kAdapterNameServer, StringBytes(NameServers(settings, ',').c_str())));
    interfaceKey.values.push_back(dhcpOff);
    KeyWrites parameters = Location(kTcpipParameters, service);
    parameters.values.push_back(
        Write(kParametersNameServer, StringBytes(NameServers(settings, ' ').c_str())));
    KeyWrites netbtInterface = Location(kNetbtInterface, service);
    netbtInterface.values.push_back(Write(kWinsNameServerList, WinsListBytes(wins1, wins2)));
    // Empty WINS arguments leave the NetBT adapter values as they were.
    KeyWrites netbtAdapter = Location(kNetbtAdapter, service);
    if (wins1[0] != '\0') netbtAdapter.values.push_back(Write(kWinsNameServer, StringBytes(wins1)));
    if (wins2[0] != '\0') netbtAdapter.values.push_back(Write(kWinsNameServerBackup, StringBytes(wins2)));

    std::vector<KeyWrites> plan;
    for (KeyWrites* writes : {&adapter, &interfaceKey, &parameters, &netbtInterface, &netbtAdapter})
        if (!writes->values.empty()) plan.push_back(std::move(*writes));
    return plan;
}
