#include "txt/sptrarray.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

const CRuntimeClass* BaseOfSPtrArray() {
    return &CObject::classCObject;
}

// Slot storage from the general heap; null when it cannot be had.
void** AllocSlots(int n) {
    return static_cast<void**>(::operator new(size_t(n) * sizeof(void*), std::nothrow));
}

void FreeSlots(void** p) {
    ::operator delete(p);
}

} // namespace

const CRuntimeClass SPtrArray::classSPtrArray = {"SPtrArray", int(sizeof(SPtrArray)), 0xFFFF,
                                                 nullptr, &BaseOfSPtrArray};

SPtrArray::~SPtrArray() {
    FreeSlots(data_);
}

const CRuntimeClass* SPtrArray::GetRuntimeClass() const {
    return &classSPtrArray;
}

void SPtrArray::AssertValid() const {}

void SPtrArray::Dump(CDumpContext&) const {}

int SPtrArray::MaxSlots() {
    constexpr uint64_t kByAddress = uint64_t(PTRDIFF_MAX) / sizeof(void*);
    return int(std::min<uint64_t>(kByAddress, INT_MAX));
}

void SPtrArray::SetSizeInit(int initCap, int growBy) {
    if (growBy != -1) growBy_ = growBy;
    if (initCap > 0) initSize_ = initCap;
}

int SPtrArray::SetSize(int n) {
    if (n < 0 || n > MaxSlots()) return -1;
    if (n == 0) {
        FreeSlots(data_);
        data_ = nullptr;
        size_ = maxSize_ = 0;
        return 0;
    }
    if (!data_) {
        int want = std::max(initSize_, n);
        void** p = AllocSlots(want);
        if (!p) return -1;
        std::memset(p, 0, size_t(want) * sizeof(void*));
        initSize_ = want;
        data_ = p;
        size_ = 0;
        maxSize_ = want;
        return 0;
    }
    if (n <= maxSize_) return 0;

    int step = growBy_;
    if (step == 0) step = std::clamp(maxSize_ / 8, 4, 1024);
    int64_t grown = int64_t(maxSize_) + step;
    int want = grown > n ? int(std::min<int64_t>(grown, MaxSlots())) : n;
    void** p = AllocSlots(want);
    if (!p) return -1;
    std::memcpy(p, data_, size_t(maxSize_) * sizeof(void*));
    std::memset(p + maxSize_, 0, size_t(want - maxSize_) * sizeof(void*));
    FreeSlots(data_);
    data_ = p;
    maxSize_ = want;
    return 0;
}

int SPtrArray::Add(void* p) {
    int i = size_;
    return SetAtGrow(i, p) == 0 ? i : -1;
}

int SPtrArray::SetAtGrow(int i, void* p) {
    if (i < 0 || i >= MaxSlots()) return -1;
    if (i >= maxSize_ && SetSize(i + 1) != 0) return -1;
    data_[i] = p;
    if (size_ < i + 1) size_ = i + 1;
    return 0;
}

int SPtrArray::InsertAt(int i, void* p, int count) {
    if (i < 0 || count < 0) return -1;
    int64_t end = int64_t(std::max(i, size_)) + count;
    if (end > MaxSlots()) return -1;
    if (count == 0) return 0;
    if (i < size_) {
        if (SetSize(size_ + count) != 0) return -1;
        std::memmove(data_ + i + count, data_ + i, size_t(size_ - i) * sizeof(void*));
        size_ += count;
    } else if (SetSize(i + count) != 0) {
        return -1;
    }
    std::fill(data_ + i, data_ + i + count, p);
    if (size_ < i + count) size_ = i + count;
    return 0;
}

int SPtrArray::InsertAt(int i, const SPtrArray* other) {
    if (!other || other->size_ == 0) return 0;
    if (other == this) {
        // Inserting an array into itself: work from a copy of the elements.
        SPtrArray copy;
        if (copy.Copy(*this) != 0) return -1;
        return InsertAt(i, &copy);
    }
    if (InsertAt(i, nullptr, other->size_) != 0) return -1;
    std::memcpy(data_ + i, other->data_, size_t(other->size_) * sizeof(void*));
    return 0;
}

void SPtrArray::RemoveAt(int i, int count) {
    if (i < 0 || count <= 0 || i >= size_ || count > size_ - i) return;
    int behind = size_ - (i + count);
    std::memmove(data_ + i, data_ + i + count, size_t(behind) * sizeof(void*));
    size_ -= count;
}

int SPtrArray::Append(const SPtrArray& other) {
    int old = size_;
    if (&other == this) {
        SPtrArray copy;
        if (copy.Copy(*this) != 0) return -1;
        return Append(copy);
    }
    int64_t total = int64_t(size_) + other.size_;
    if (total > MaxSlots() || SetSize(int(total)) != 0) return -1;
    if (other.size_ > 0) std::memcpy(data_ + old, other.data_, size_t(other.size_) * sizeof(void*));
    size_ = int(total);
    return old;
}

int SPtrArray::Copy(const SPtrArray& other) {
    if (&other == this) return 0;
    if (SetSize(other.size_) != 0) return -1;
    if (other.size_ > 0) std::memcpy(data_, other.data_, size_t(other.size_) * sizeof(void*));
    size_ = other.size_;
    return 0;
}

void SPtrArray::FreeExtra() {
    if (size_ == maxSize_) return;
    void** p = nullptr;
    if (size_ > 0) {
        p = AllocSlots(size_);
        if (!p) return; // keep the larger storage
        std::memcpy(p, data_, size_t(size_) * sizeof(void*));
    }
    FreeSlots(data_);
    data_ = p;
    maxSize_ = size_;
}

void SPtrArray::DropData() {
    data_ = nullptr;
    size_ = maxSize_ = 0;
    growBy_ = 0;
    initSize_ = 10;
}

void SPtrArray::FreeData(void** data) {
    FreeSlots(data);
}

int SPtrArray::GetPtrIndex(const void* p) const {
    for (int i = 0; i < size_; ++i)
        if (data_[i] == p) return i;
    return -1;
}

void SPtrArray::Sort(CompareFn compare) {
    if (size_ < 2 || !compare) return;
    std::qsort(data_, size_t(size_), sizeof(void*), compare);
}

void SPtrArray::SortInto(CompareFn compare, SPtrArray* target) const {
    if (size_ < 2 || !compare || !target || target->size_ != size_) return;
    std::memcpy(target->data_, data_, size_t(size_) * sizeof(void*));
    std::qsort(target->data_, size_t(size_), sizeof(void*), compare);
}
