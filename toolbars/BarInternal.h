// toolbars/BarInternal.h: what the units of the bar framework share among themselves only.
#pragma once

namespace bars::internal {

// Items and viewers count themselves alive per thread; the deferred-click queue's window and list
// go when the count drops to zero.
void ClickQueueAddLive();
void ClickQueueReleaseLive();

} // namespace bars::internal
