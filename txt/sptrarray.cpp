#include "txt/sptrarray.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

const CRuntimeClass* baseOfSPtrArray() {
    return &CObject::classCObject;
}

// Slot storage from the general heap; null when it cannot be had.
void** allocSlots(int n) {
    return static_cast<void**>(::operator new(size_t(n) * sizeof(void*), std::nothrow));
}

void freeSlots(void** p) {
    ::operator delete(p);
}

} // namespace

const CRuntimeClass SPtrArray::classSPtrArray = {"SPtrArray", int(sizeof(SPtrArray)), 0xFFFF,
                                                 nullptr, &baseOfSPtrArray};

SPtrArray::~SPtrArray() {
    freeSlots(m_pData);
}

const CRuntimeClass* SPtrArray::GetRuntimeClass() const {
    return &classSPtrArray;
}

void SPtrArray::AssertValid() const {}

void SPtrArray::Dump(CDumpContext&) const {}

int SPtrArray::MaxSlots() {
    constexpr uint64_t byAddress = uint64_t(PTRDIFF_MAX) / sizeof(void*);
    return int(std::min<uint64_t>(byAddress, INT_MAX));
}

void SPtrArray::SetSizeInit(int initCap, int growBy) {
    if (growBy != -1) m_nGrowBy = growBy;
    if (initCap > 0) m_nInitSize = initCap;
}

int SPtrArray::SetSize(int n) {
    if (n < 0 || n > MaxSlots()) return -1;
    if (n == 0) {
        freeSlots(m_pData);
        m_pData = nullptr;
        m_nSize = m_nMaxSize = 0;
        return 0;
    }
    if (!m_pData) {
        int want = std::max(m_nInitSize, n);
        void** p = allocSlots(want);
        if (!p) return -1;
        std::memset(p, 0, size_t(want) * sizeof(void*));
        m_nInitSize = want;
        m_pData = p;
        m_nSize = 0;
        m_nMaxSize = want;
        return 0;
    }
    if (n <= m_nMaxSize) return 0;

    int step = m_nGrowBy;
    if (step == 0) step = std::clamp(m_nMaxSize / 8, 4, 1024);
    int64_t grown = int64_t(m_nMaxSize) + step;
    int want = grown > n ? int(std::min<int64_t>(grown, MaxSlots())) : n;
    void** p = allocSlots(want);
    if (!p) return -1;
    std::memcpy(p, m_pData, size_t(m_nMaxSize) * sizeof(void*));
    std::memset(p + m_nMaxSize, 0, size_t(want - m_nMaxSize) * sizeof(void*));
    freeSlots(m_pData);
    m_pData = p;
    m_nMaxSize = want;
    return 0;
}

int SPtrArray::Add(void* p) {
    int i = m_nSize;
    return SetAtGrow(i, p) == 0 ? i : -1;
}

int SPtrArray::SetAtGrow(int i, void* p) {
    if (i < 0 || i >= MaxSlots()) return -1;
    if (i >= m_nMaxSize && SetSize(i + 1) != 0) return -1;
    m_pData[i] = p;
    if (m_nSize < i + 1) m_nSize = i + 1;
    return 0;
}

int SPtrArray::InsertAt(int i, void* p, int count) {
    if (i < 0 || count < 0) return -1;
    int64_t end = int64_t(std::max(i, m_nSize)) + count;
    if (end > MaxSlots()) return -1;
    if (count == 0) return 0;
    if (i < m_nSize) {
        if (SetSize(m_nSize + count) != 0) return -1;
        std::memmove(m_pData + i + count, m_pData + i, size_t(m_nSize - i) * sizeof(void*));
        m_nSize += count;
    } else if (SetSize(i + count) != 0) {
        return -1;
    }
    std::fill(m_pData + i, m_pData + i + count, p);
    if (m_nSize < i + count) m_nSize = i + count;
    return 0;
}

int SPtrArray::InsertAt(int i, const SPtrArray* other) {
    if (!other || other->m_nSize == 0) return 0;
    if (other == this) {
        // Inserting an array into itself: work from a copy of the elements.
        SPtrArray copy;
        if (copy.Copy(*this) != 0) return -1;
        return InsertAt(i, &copy);
    }
    if (InsertAt(i, nullptr, other->m_nSize) != 0) return -1;
    std::memcpy(m_pData + i, other->m_pData, size_t(other->m_nSize) * sizeof(void*));
    return 0;
}

void SPtrArray::RemoveAt(int i, int count) {
    if (i < 0 || count <= 0 || i >= m_nSize || count > m_nSize - i) return;
    int behind = m_nSize - (i + count);
    std::memmove(m_pData + i, m_pData + i + count, size_t(behind) * sizeof(void*));
    m_nSize -= count;
}

int SPtrArray::Append(const SPtrArray& other) {
    int old = m_nSize;
    if (&other == this) {
        SPtrArray copy;
        if (copy.Copy(*this) != 0) return -1;
        return Append(copy);
    }
    int64_t total = int64_t(m_nSize) + other.m_nSize;
    if (total > MaxSlots() || SetSize(int(total)) != 0) return -1;
    if (other.m_nSize > 0)
        std::memcpy(m_pData + old, other.m_pData, size_t(other.m_nSize) * sizeof(void*));
    m_nSize = int(total);
    return old;
}

int SPtrArray::Copy(const SPtrArray& other) {
    if (&other == this) return 0;
    if (SetSize(other.m_nSize) != 0) return -1;
    if (other.m_nSize > 0)
        std::memcpy(m_pData, other.m_pData, size_t(other.m_nSize) * sizeof(void*));
    m_nSize = other.m_nSize;
    return 0;
}

void SPtrArray::FreeExtra() {
    if (m_nSize == m_nMaxSize) return;
    void** p = nullptr;
    if (m_nSize > 0) {
        p = allocSlots(m_nSize);
        if (!p) return; // keep the larger storage
        std::memcpy(p, m_pData, size_t(m_nSize) * sizeof(void*));
    }
    freeSlots(m_pData);
    m_pData = p;
    m_nMaxSize = m_nSize;
}

void SPtrArray::DropData() {
    m_pData = nullptr;
    m_nSize = m_nMaxSize = 0;
    m_nGrowBy = 0;
    m_nInitSize = 10;
}

void SPtrArray::FreeData(void** data) {
    freeSlots(data);
}

int SPtrArray::GetPtrIndex(const void* p) const {
    for (int i = 0; i < m_nSize; ++i)
        if (m_pData[i] == p) return i;
    return -1;
}

void SPtrArray::Sort(CompareFn compare) {
    if (m_nSize < 2 || !compare) return;
    std::qsort(m_pData, size_t(m_nSize), sizeof(void*), compare);
}

void SPtrArray::SortInto(CompareFn compare, SPtrArray* target) const {
    if (m_nSize < 2 || !compare || !target || target->m_nSize != m_nSize) return;
    std::memcpy(target->m_pData, m_pData, size_t(m_nSize) * sizeof(void*));
    std::qsort(target->m_pData, size_t(m_nSize), sizeof(void*), compare);
}
