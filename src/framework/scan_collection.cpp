#include "framework/scan_collection.h"

#include "platform/text_case.h"

namespace ravlo {
namespace {

template <class T>
int CompareValues(T a, T b) {
    return a < b ? -1 : (b < a ? 1 : 0);
}

int CompareTexts(const std::optional<std::string>& a, const std::optional<std::string>& b, bool ignoreCase) {
    if (!a || !b) {
        return CompareValues(a.has_value(), b.has_value());
    }
    if (ignoreCase) {
        return CompareTextNoCase(*a, *b);
    }
    // char_traits<char> compares bytes as unsigned.
    const int c = std::string_view(*a).compare(*b);
    return CompareValues(c, 0);
}

int CompareW(const TScanObject& a, const TScanObject& b) {
    return CompareValues(a.W, b.W);
}

int CompareL(const TScanObject& a, const TScanObject& b) {
    return CompareValues(static_cast<std::int32_t>(a.L), static_cast<std::int32_t>(b.L));
}

int CompareDW(const TScanObject& a, const TScanObject& b) {
    return CompareValues(a.L, b.L);
}

int ComparePch(const TScanObject& a, const TScanObject& b) {
    return CompareTexts(a.Text, b.Text, false);
}

int CompareAnsiPch(const TScanObject& a, const TScanObject& b) {
    return CompareTexts(a.Text, b.Text, true);
}

} // namespace

void TScanObject::Assign(const TrbStreamable& source) {
    const auto& other = AssignSource<TScanObject>(*this, source);
    W = other.W;
    L = other.L;
    Ref1 = other.Ref1;
    Ref2 = other.Ref2;
    Text = other.Text;
}

void TScanObject::Store(TrbObjStream& stream) const {
    stream.WriteU16(W);
    stream.WriteU32(L);
    stream.StrWrite(Text ? std::string_view(*Text) : std::string_view());
}

void TScanObject::Load(TrbObjStream& stream) {
    W = stream.ReadU16();
    L = stream.ReadU32();
    Text = stream.StrReadOpt();
    Ref1 = nullptr;
    Ref2 = nullptr;
}

void TScanObjColl::QuickSort_W() {
    QuickSort(CompareW);
}
void TScanObjColl::QuickSort_Pch() {
    QuickSort(ComparePch);
}
void TScanObjColl::QuickSort_AnsiPch() {
    QuickSort(CompareAnsiPch);
}
void TScanObjColl::QuickSort_L() {
    QuickSort(CompareL);
}
void TScanObjColl::QuickSort_DW() {
    QuickSort(CompareDW);
}

void TScanObjColl::QuickSort(KeyCompare compare) {
    QuickSortRange(compare, 0, Count() - 1);
}

void TScanObjColl::QuickSortRange(KeyCompare compare, std::int32_t lo, std::int32_t hi) {
    // Nil slots come first; otherwise the items' keys decide.
    const auto order = [compare](const TScanObject* a, const TScanObject* b) {
        if (a == nullptr || b == nullptr) {
            return CompareValues(a != nullptr, b != nullptr);
        }
        return compare(*a, *b);
    };
    while (lo < hi) {
        // The pivot is the object itself, so its key stays put while Exchange moves the slots.
        const TScanObject* pivot = ItemAt((lo + hi) / 2);
        std::int32_t i = lo;
        std::int32_t j = hi;
        do {
            while (order(ItemAt(i), pivot) < 0) {
                ++i;
            }
            while (order(ItemAt(j), pivot) > 0) {
                --j;
            }
            if (i <= j) {
                Exchange(i, j);
                ++i;
                --j;
            }
        } while (i <= j);
        // The two parts are disjoint, so sorting the smaller one first by recursion and the larger
        // one in this loop gives the same order while keeping the stack shallow.
        if (j - lo < hi - i) {
            QuickSortRange(compare, lo, j);
            lo = i;
        } else {
            QuickSortRange(compare, i, hi);
            hi = j;
        }
    }
}

} // namespace ravlo
