// CObject, CRuntimeClass and the class registry.
#include "framework/Object.h"

#include <cstring>
#include <algorithm>
#include <vector>

namespace {

// Function-local so registrations from other translation units' static
// initialisers find it constructed.
std::vector<const CRuntimeClass*>& Registry() {
  static std::vector<const CRuntimeClass*> records;
  return records;
}

}  // namespace

const CRuntimeClass CObject::classCObject = {"CObject", static_cast<int>(sizeof(CObject)), 0xFFFF,
                                             nullptr, nullptr};
static const CClassRegistration registerCObject(&CObject::classCObject);

const CRuntimeClass* CObject::GetRuntimeClass() const { return &classCObject; }

void CObject::Serialize(CArchive&) {}

bool CObject::IsKindOf(const CRuntimeClass* record) const {
  return GetRuntimeClass()->IsDerivedFrom(record);
}

CObject* CRuntimeClass::CreateObject() const {
  return m_pfnCreateObject ? m_pfnCreateObject() : nullptr;
}

bool CRuntimeClass::IsDerivedFrom(const CRuntimeClass* base) const {
  for (const CRuntimeClass* c = this; c; c = c->m_pBaseClass)
    if (c == base) return true;
  return false;
}

// A record registered twice (by its own file and by a list of classes the
// program must contain) is kept once.
void CRuntimeClass::Register(const CRuntimeClass* record) {
  std::vector<const CRuntimeClass*>& records = Registry();
  if (std::find(records.begin(), records.end(), record) == records.end()) records.push_back(record);
}

const CRuntimeClass* CRuntimeClass::FromName(const char* className) {
  if (!className) return nullptr;
  for (const CRuntimeClass* record : Registry())
    if (std::strcmp(record->m_lpszClassName, className) == 0) return record;
  return nullptr;
}

CObject* CRuntimeClass::CreateObject(const char* className) {
  const CRuntimeClass* record = FromName(className);
  return record ? record->CreateObject() : nullptr;
}
