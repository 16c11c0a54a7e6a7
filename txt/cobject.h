// The root class of the library's polymorphic classes and the run-time
// class record through which an object tells its class.
#pragma once

#include "ostrelle_api.h"

class CObject;
class CArchive;     // serialisation stream; no operation of the library uses one
class CDumpContext; // diagnostic dump target; no operation of the library uses one

// One record per class: name, object size, schema number, creation function
// (none for classes that cannot be created by name) and the base class.
struct OSTRELLE_API CRuntimeClass {
    const char* m_lpszClassName;
    int m_nObjectSize;
    unsigned int m_wSchema;
    CObject* (*m_pfnCreateObject)();
    const CRuntimeClass* (*m_pfnGetBaseClass)();

    // The base class's record, or null for the root.
    const CRuntimeClass* _GetBaseClass() const {
        return m_pfnGetBaseClass ? m_pfnGetBaseClass() : nullptr;
    }
    // A new object of the class, or null when it cannot be created by name.
    CObject* CreateObject() const { return m_pfnCreateObject ? m_pfnCreateObject() : nullptr; }
    // True when this class is base or one of its descendants.
    bool IsDerivedFrom(const CRuntimeClass* base) const;
};

// The record of class name.
#define RUNTIME_CLASS(name) (&name::class##name)

// Root class.  Its five virtual operations, in slot order: GetRuntimeClass,
// destructor, Serialize, AssertValid, Dump.  Objects are not copyable.
class OSTRELLE_API CObject {
public:
    // The record of the object's most derived class.
    virtual const CRuntimeClass* GetRuntimeClass() const;
    virtual ~CObject() = default;
    // Serialisation, the validity check and the diagnostic dump: they do
    // nothing here (the library keeps no archives and no dump targets).
    virtual void Serialize(CArchive& archive);
    virtual void AssertValid() const;
    virtual void Dump(CDumpContext& dc) const;

    // True when the object's class is cls or derives from it.
    bool IsKindOf(const CRuntimeClass* cls) const;

    static const CRuntimeClass classCObject; // "CObject", no base

    CObject(const CObject&) = delete;
    CObject& operator=(const CObject&) = delete;

protected:
    CObject() = default;
};
