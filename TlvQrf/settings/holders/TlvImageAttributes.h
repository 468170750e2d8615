// The name the library's exported interface gives the settings holder of
// one image: the image control is one, and a load fills one. Headers that
// only pass the attributes on include this; users of the fields include
// TlvControlSettings.h.
#pragma once

class CTlvControlSettings;

using CTlvImageAttributes = CTlvControlSettings;
