// The preview chain's fixed table of 46 filter slots (named with the stage
// order): which slots a chain mode creates and in what order, the order in
// which they stand in the chain, and the filter each slot holds. Mode 0 is
// the full preview, mode 1 the small quick one, modes 2 and above the
// preview of a reduced source.
#pragma once

#include "order/TlStageOrder.h"

#include <cstdint>
#include <memory>
#include <vector>

class CKelvraFilterBase;
class IKelvraManager;

namespace TlChainSlots {

// The slots a build of `mode` creates, in the order it creates them.
std::vector<int> CreationOrder(std::uint32_t mode);
// The slots of a `mode` chain, source side first, as the stage order has
// them.
std::vector<int> ChainOrder(std::uint32_t mode);
// The method a scale slot (13 to 17) is made with.
long CreationScaleMethod(int slot, std::uint32_t mode, std::uint32_t scaleMethod);
// A new filter for `slot`; null for a slot outside the table. Throws
// std::bad_alloc when memory runs out.
std::unique_ptr<CKelvraFilterBase> MakeSlotFilter(int slot, IKelvraManager* manager, std::uint32_t mode,
                                                  std::uint32_t scaleMethod);

} // namespace TlChainSlots
