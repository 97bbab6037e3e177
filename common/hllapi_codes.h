// HLLAPI function numbers and the published return codes: the vocabulary the
// client's request layer and our providers share.
#pragma once

namespace common::hllapi {

enum Function : int {
  kConnect = 1,
  kDisconnect = 2,
  kSendKey = 3,
  kWait = 4,
  kCopyPresentationSpace = 5,
  kSetSessionParameters = 9,
  kQuerySessions = 10,
  kCopyStringToPresentationSpace = 15,
  kPause = 18,
  kQuerySystem = 20,
  kResetSystem = 21,
  kQuerySessionStatus = 22,
  kSetCursor = 40,
  kConnectStructuredFields = 120,
  kDisconnectStructuredFields = 121,
  kQueryBufferSize = 122,
  kAllocateCommunicationsBuffer = 123,
  kFreeCommunicationsBuffer = 124,
  kGetRequestCompletion = 125,
  kReadStructuredFields = 126,
  kWriteStructuredFields = 127,
};

enum ReturnCode : int {
  kOk = 0,
  kNotConnected = 1,  // no connection, or an unknown session letter
  kParameterError = 2,
  kHostBusy = 4,   // keyboard locked while the host works
  kInhibited = 5,  // input inhibited, protected position, operator error
  kTruncated = 6,
  kInvalidPosition = 7,
  kSystemError = 9,
  kNotSupported = 10,
  kResourceUnavailable = 11,
  kPauseInterrupted = 26,  // a pause ended early because the screen changed
  kRequestPending = 38,    // an asynchronous request has not completed yet
  kRequestsOutstanding = 40,
};

}  // namespace common::hllapi
