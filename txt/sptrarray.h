// Growable array of untyped pointers.  It owns only its slot storage, never
// what the pointers refer to.
#pragma once

#include "ostrelle_api.h"

#include "txt/cobject.h"

// SetSize only reserves storage: it never changes the number of elements,
// except that a size of 0 empties the array and frees the storage.  Elements
// come into use through Add, SetAtGrow, InsertAt, Copy and Append.
//
// Growth: the first allocation takes the initial capacity (10, or the
// requested count when larger); later growth adds the grow-by, or when that
// is 0 one eighth of the capacity (at least 4, at most 1024) -- 10, 14, 18,
// ... 42, 47, 52 ... -- and jumps straight to a larger requested count.
// Slots created by growth are zero; slots vacated by removal keep their old
// values.  A request for more slots than an int or the address space can
// count fails with -1 and changes nothing.
//
// Index arguments of GetAt, ElementAt, SetAt and operator[] are not
// checked: callers keep them in range.
class OSTRELLE_API SPtrArray : public CObject {
public:
    // qsort form: two pointers to slots, each pointing at one stored pointer.
    using CompareFn = int (*)(const void*, const void*);

    SPtrArray() = default;
    ~SPtrArray() override; // frees the storage, not the objects

    const CRuntimeClass* GetRuntimeClass() const override;
    void AssertValid() const override;
    void Dump(CDumpContext& dc) const override;
    static const CRuntimeClass classSPtrArray; // "SPtrArray", schema 0xFFFF, base CObject

    // The element count, and its last index (-1 when empty).
    int GetSize() const { return size_; }
    int GetUpperBound() const { return size_ - 1; }
    // The storage itself; null when there is none.
    void** GetData() { return data_; }
    const void* const* GetData() const { return data_; }
    void** GetRawData() const { return data_; }

    // Slot i, by value or by reference; i must lie below the capacity.
    void* GetAt(int i) const { return data_[i]; }
    void* operator[](int i) const { return data_[i]; }
    void*& ElementAt(int i) { return data_[i]; }
    void*& operator[](int i) { return data_[i]; }
    // Stores p in slot i; the size does not change.
    void SetAt(int i, void* p) { data_[i] = p; }

    // Sets the grow-by unless growBy is -1, and the initial capacity when
    // initCap is above 0.
    void SetSizeInit(int initCap, int growBy);
    // Reserves storage for n slots (see above); 0 empties the array.
    // Returns 0, or -1 when n is negative or no storage was obtained.
    int SetSize(int n);
    void RemoveAll() { SetSize(0); }

    // Appends p; returns its index, or -1 when no storage was obtained.
    int Add(void* p);
    // Stores p in slot i, growing the storage when needed; the size becomes
    // i + 1 when it was smaller, and slots between the old size and i keep
    // what they hold.  Returns 0; -1 (nothing stored) for a negative i or
    // when no storage was obtained.
    int SetAtGrow(int i, void* p);
    // Inserts count copies of p at i; an i at or behind the end places them
    // at i.  Returns 0; -1 (nothing changed) for a negative i or count or
    // when no storage was obtained.
    int InsertAt(int i, void* p, int count = 1);
    // Inserts the other array's elements at i in order; nothing when it is
    // empty.  Returns 0 or -1 as above.
    int InsertAt(int i, const SPtrArray* other);
    // Removes count elements from i, closing the gap.  A range outside the
    // elements changes nothing.
    void RemoveAt(int i, int count = 1);
    // Appends the other array's elements; returns the old size, or -1 when
    // no storage was obtained.  A total of 0 empties the array.
    int Append(const SPtrArray& other);
    // Makes this array a copy of the other's elements; copying an empty
    // array frees this array's storage.  Returns 0, or -1 (unchanged) when no
    // storage was obtained.
    int Copy(const SPtrArray& other);
    // Trims the storage to the size (frees it when the size is 0).
    void FreeExtra();
    // Forgets the storage without freeing it; the array is as constructed.
    // Whoever took the storage through GetData owns it from then on and
    // releases it with FreeData.
    void DropData();
    static void FreeData(void** data);

    // Index of the first slot equal to p, or -1.
    int GetPtrIndex(const void* p) const;
    // Sorts the elements with the comparator; equal elements keep no
    // particular order.
    void Sort(CompareFn compare);
    // Writes this array's elements, sorted, into the target's slots 0
    // onward; nothing when this array has fewer than 2 elements or the
    // target's size differs.  This array is unchanged.
    void SortInto(CompareFn compare, SPtrArray* target) const;

    SPtrArray(const SPtrArray&) = delete;
    SPtrArray& operator=(const SPtrArray&) = delete;

    // Largest slot count an array can hold.
    static int MaxSlots();

private:
    void** data_ = nullptr;
    int size_ = 0;
    int maxSize_ = 0; // capacity
    int growBy_ = 0;  // 0: automatic
    int initSize_ = 10;
};
