// The program's event sink: objects of the automation class PPTInf, whose dual interface
// IPPTInf carries the presentation program's application-events IID, so that the
// presentation program's connection point takes it as a sink and calls it by dispatch id.
// Its type library (Slidecaster.idl) is a resource of the program.
#pragma once
#include <unknwn.h>

#include "platform/Automation.h"

namespace comserver {

extern const CLSID PPTInfClass;        // {BA9EBF68-0175-486C-9B7B-6889A13BCBA3}
extern const IID PPTInfInterface;      // {914934C2-5A91-11CF-8700-00AA0060263B}
extern const GUID SlidecasterLibrary;  // {0279E80F-C46E-46D2-A5B1-F736496E9000}

// A new object whose SlideShowBegin and SlideShowNextSlide go to handler; the caller holds
// its one reference.
IUnknown* CreatePPTInf(platform::SinkHandler handler);

}  // namespace comserver
