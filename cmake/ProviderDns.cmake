# The provider's two DNS servers, compiled into the wizard. The default pair comes
# from the address blocks reserved for documentation (RFC 5737) and reaches no real
# server: a release for customers sets the provider's own.
set(TARVELO_PROVIDER_DNS_PLACEHOLDER "203.0.113.53;198.51.100.53")

# tarvelo_parse_provider_dns(<value> <primary-var> <secondary-var> <error-var>)
# Splits "a.b.c.d;e.f.g.h" (a comma separates as well) into its two addresses. Each
# must be dotted-decimal IPv4: four fields 0-255 without leading zeros. On bad input
# <error-var> holds a message and the two address variables are left untouched.
function(tarvelo_parse_provider_dns value primary_var secondary_var error_var)
  string(REPLACE "," ";" addresses "${value}")
  list(LENGTH addresses count)
  if(NOT count EQUAL 2)
    set(${error_var} "TARVELO_PROVIDER_DNS must hold two addresses, got \"${value}\"" PARENT_SCOPE)
    return()
  endif()
  foreach(address IN LISTS addresses)
    string(REPLACE "." ";" fields "${address}")
    list(LENGTH fields field_count)
    set(valid TRUE)
    if(NOT field_count EQUAL 4)
      set(valid FALSE)
    endif()
    foreach(field IN LISTS fields)
      if(NOT field MATCHES "^(0|[1-9][0-9]?|1[0-9][0-9]|2[0-4][0-9]|25[0-5])$")
        set(valid FALSE)
      endif()
    endforeach()
    if(NOT valid)
      set(${error_var} "TARVELO_PROVIDER_DNS: \"${address}\" is not a dotted-decimal IPv4 address" PARENT_SCOPE)
      return()
    endif()
  endforeach()
  list(GET addresses 0 primary)
  list(GET addresses 1 secondary)
  set(${primary_var} "${primary}" PARENT_SCOPE)
  set(${secondary_var} "${secondary}" PARENT_SCOPE)
  set(${error_var} "" PARENT_SCOPE)
endfunction()
