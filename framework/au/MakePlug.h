#pragma once

class IPlugAU;

// The plug-in's factory, defined by the effect that links this wrapper: a new
// plug-in object that the component entry owns from then on. Serialises
// construction across instances. [UI thread]
IPlugAU* MakePlug();
