// CObject and its run-time class record: class name, schema, create function
// and base class, a registry for creating objects by class name, IsKindOf.
// Classes take part through the DECLARE_/IMPLEMENT_ DYNAMIC, DYNCREATE and
// SERIAL macros; a class record registers itself when the program starts.
#pragma once

#include "framework/Platform.h"

class CArchive;
class CObject;

struct CRuntimeClass {
  const char* m_lpszClassName;
  int m_nObjectSize;
  UINT m_wSchema;  // 0xFFFF for classes that are not serialisable
  CObject* (*m_pfnCreateObject)();
  const CRuntimeClass* m_pBaseClass;

  // A new object of this class, or null when the class has no create function.
  CObject* CreateObject() const;
  bool IsDerivedFrom(const CRuntimeClass* base) const;

  // Lookups in the registry of every class record in the program.
  static const CRuntimeClass* FromName(const char* className);
  static CObject* CreateObject(const char* className);
  static void Register(const CRuntimeClass* record);
};

// Registers a class record during static initialisation.
struct CClassRegistration {
  explicit CClassRegistration(const CRuntimeClass* record) { CRuntimeClass::Register(record); }
};

class CObject {
 public:
  static const CRuntimeClass classCObject;
  virtual const CRuntimeClass* GetRuntimeClass() const;
  virtual ~CObject() = default;
  virtual void Serialize(CArchive& archive);

  bool IsKindOf(const CRuntimeClass* record) const;
  bool IsSerializable() const { return GetRuntimeClass()->m_wSchema != 0xFFFF; }

 protected:
  CObject() = default;
  CObject(const CObject&) = default;
  CObject& operator=(const CObject&) = default;
};

#define RUNTIME_CLASS(class_name) (&class_name::class##class_name)

#define DECLARE_DYNAMIC(class_name)                   \
 public:                                              \
  static const CRuntimeClass class##class_name;       \
  const CRuntimeClass* GetRuntimeClass() const override;

#define DECLARE_DYNCREATE(class_name) \
  DECLARE_DYNAMIC(class_name)         \
  static CObject* CreateObject();

#define DECLARE_SERIAL(class_name) DECLARE_DYNCREATE(class_name)

#define OVELIN_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, schema, create)      \
  const CRuntimeClass class_name::class##class_name = {                               \
      #class_name, static_cast<int>(sizeof(class_name)), schema, create,              \
      RUNTIME_CLASS(base_class_name)};                                                \
  static const CClassRegistration ovelinRegister##class_name(RUNTIME_CLASS(class_name)); \
  const CRuntimeClass* class_name::GetRuntimeClass() const { return RUNTIME_CLASS(class_name); }

#define IMPLEMENT_DYNAMIC(class_name, base_class_name) \
  OVELIN_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, 0xFFFF, nullptr)

#define IMPLEMENT_DYNCREATE(class_name, base_class_name)                          \
  CObject* class_name::CreateObject() { return new class_name; }                  \
  OVELIN_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, 0xFFFF, class_name::CreateObject)

#define IMPLEMENT_SERIAL(class_name, base_class_name, schema)                     \
  CObject* class_name::CreateObject() { return new class_name; }                  \
  OVELIN_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, schema, class_name::CreateObject)
