// freeobj.cpp -- free objects falling (stub until the objects land)
#include "objects/freeobj.h"

namespace Freeobj {
void update(freeobjrec&, double, const std::vector<const box*>&) {}
::actionpair actionpair(freeobjrec& o)
{
    static const outcome codes[3] = {outcome::charge, outcome::bribe, outcome::teleport};
    return {&o.box, codes[(o.kind >= 0 && o.kind <= 2) ? o.kind : 0]};
}
}  // namespace Freeobj
