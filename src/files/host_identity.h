#pragma once
// The machine's host name and IP address, for horoscope identifiers.

#include "core/horoscope.h"

namespace tellurim {

// gethostname() and the first IPv4 address getaddrinfo() gives for it; the address is
// "127.0.0.1" when the name does not resolve.
HostIdentity local_host_identity();

}  // namespace tellurim
