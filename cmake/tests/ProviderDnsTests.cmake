# Checks the configure-time parsing of TARVELO_PROVIDER_DNS: cmake -P ProviderDnsTests.cmake
cmake_minimum_required(VERSION 3.25)
include("${CMAKE_CURRENT_LIST_DIR}/../ProviderDns.cmake")

# A refused value leaves both addresses "unset" and gives a message.
function(expect value primary secondary)
  set(got_primary "unset")
  set(got_secondary "unset")
  tarvelo_parse_provider_dns("${value}" got_primary got_secondary error)
  if(error)
    set(refused TRUE)
  else()
    set(refused FALSE)
  endif()
  if(primary STREQUAL "unset")
    set(want_refused TRUE)
  else()
    set(want_refused FALSE)
  endif()
  if(NOT "${got_primary}|${got_secondary}" STREQUAL "${primary}|${secondary}" OR NOT refused STREQUAL want_refused)
    message(SEND_ERROR "\"${value}\": got ${got_primary}|${got_secondary} (${error}), want ${primary}|${secondary}")
  endif()
endfunction()

expect("${TARVELO_PROVIDER_DNS_PLACEHOLDER}" 203.0.113.53 198.51.100.53)
expect("8.8.8.8,0.0.0.0" 8.8.8.8 0.0.0.0)
expect("255.249.200.199;10.0.0.1" 255.249.200.199 10.0.0.1)
# Refused, nothing set.
foreach(bad "" "8.8.8.8" "1.1.1.1;2.2.2.2;3.3.3.3" "1.1.1;2.2.2.2" "1.1.1.1.1;2.2.2.2" "256.1.1.1;2.2.2.2"
            "01.1.1.1;2.2.2.2" "1.1.1.1; 2.2.2.2" "1..1.1;2.2.2.2" "a.b.c.d;2.2.2.2" "1.1.1.1;2.2.2.-2")
  expect("${bad}" unset unset)
endforeach()
