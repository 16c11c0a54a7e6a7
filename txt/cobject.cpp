#include "txt/cobject.h"

const CRuntimeClass CObject::classCObject = {"CObject", int(sizeof(CObject)), 0xFFFF, nullptr,
                                             nullptr};

bool CRuntimeClass::IsDerivedFrom(const CRuntimeClass* base) const {
    // Class chains are a few levels deep; the bound only guards against a
    // record that names itself as its base.
    const CRuntimeClass* c = this;
    for (int depth = 0; c && depth < 64; ++depth, c = c->_GetBaseClass())
        if (c == base) return true;
    return false;
}

const CRuntimeClass* CObject::GetRuntimeClass() const {
    return &classCObject;
}

void CObject::Serialize(CArchive&) {}

void CObject::AssertValid() const {}

void CObject::Dump(CDumpContext&) const {}

bool CObject::IsKindOf(const CRuntimeClass* cls) const {
    return GetRuntimeClass()->IsDerivedFrom(cls);
}
