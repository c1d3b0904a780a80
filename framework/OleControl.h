// Hosting ActiveX controls in windows: AfxEnableControlContainer, the event
// sink map, and the control site behind CWnd::CreateControl.
// CreateControl makes a child window of our own class (the site window) with
// the given id and style, creates the control in-process, activates it in
// place inside that window and connects the window's parent to the
// control's default event interface. Events arrive as IDispatch::Invoke
// calls and are looked up in the parent's event sink map by the site's id
// and the event's dispatch id. The site keeps the control filling its window
// and closes it when the window goes.
// Choices of ours: the site answers no ambient properties and offers no
// menus, toolbars or borders to the control; an event without an entry in
// the map is ignored.
#pragma once

#include <oaidl.h>
#include <ole2.h>

#include "framework/Platform.h"

class CWnd;

// Prepares this thread to host controls (initialises OLE once).
void AfxEnableControlContainer();

// One entry of an event sink map: the handler gets the event's arguments as
// the control passed them (last argument first); it returns false when the
// arguments were not of the event interface's types.
struct AFX_EVENTSINKMAP_ENTRY {
  UINT controlId;
  DISPID dispid;
  bool (*handler)(CWnd* self, DISPPARAMS* params);  // null ends the table
};

// Offers one event of control `controlId` to `owner`'s sink map; false when no
// entry took it.
bool AfxDispatchControlEvent(CWnd* owner, UINT controlId, DISPID dispid, DISPPARAMS* params);

// The argument `index` (0 = first in the event's declaration) of an event,
// when it has the variant type `type`; null otherwise.
VARIANT* AfxEventArgument(DISPPARAMS* params, UINT index, VARTYPE type);

// The site window's share of its messages (resize, destruction).
void AfxControlSiteMessage(CWnd* site, UINT message, WPARAM wParam, LPARAM lParam);

#define DECLARE_EVENTSINK_MAP() const AFX_EVENTSINKMAP_ENTRY* GetEventSinkMap() const override;

#define BEGIN_EVENTSINK_MAP(theClass)                                         \
  const AFX_EVENTSINKMAP_ENTRY* theClass::GetEventSinkMap() const {           \
    using ThisClass = theClass;                                               \
    static const AFX_EVENTSINKMAP_ENTRY entries[] = {
// `fn` is a member bool fn(DISPPARAMS*) of the class.
#define ON_EVENT(controlId, dispid, fn)                                       \
  {(UINT)(controlId), (DISPID)(dispid),                                       \
   [](CWnd* self_, DISPPARAMS* params_) -> bool { return static_cast<ThisClass*>(self_)->fn(params_); }},
#define END_EVENTSINK_MAP() \
  {0, 0, nullptr}           \
  }                         \
  ;                         \
  return entries;           \
  }
