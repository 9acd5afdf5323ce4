#pragma once

namespace velmora::test {

// A port the kernel has just handed out and taken back: free unless another program races us for
// it, in which case the server started on it reports the failure. 0 when none could be had.
int freeLoopbackPort();

// Whether something accepts connections on 127.0.0.1:port.
bool accepts(int port);

} // namespace velmora::test
