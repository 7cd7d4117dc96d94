#pragma once

#include "IGraphicsPlatform.h"

// Where this build's editor finds its artwork; the build picks the one
// implementation that fits the platform's window layer.
IGraphicsArtworkSource VelloxArtworkSource();
