// tags/TagItems.h: the ordered item lists that the tag formats keep (APEv2 items, Vorbis comments, RIFF
// INFO chunks, WMA attributes...): appending a named item and deleting by position or by a test.
#pragma once
#include "rtl/System.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace tags {

template <class T, class TParent>
T* AppendNamedItem(std::vector<std::unique_ptr<T>>& Items, TParent* Parent, const rtl::String& Name)
{
    Items.push_back(std::make_unique<T>(Parent));
    Items.back()->Name = Name;
    return Items.back().get();
}

template <class T>
bool DeleteItemAt(std::vector<std::unique_ptr<T>>& Items, int Index)
{
    if (Index < 0 || Index >= int(Items.size())) return false;
    Items.erase(Items.begin() + Index);
    return true;
}

template <class T, class TPredicate>
void DeleteItemsWhere(std::vector<std::unique_ptr<T>>& Items, TPredicate Predicate)
{
    Items.erase(std::remove_if(Items.begin(), Items.end(), [&](const auto& item) { return Predicate(*item); }),
                Items.end());
}

} // namespace tags
