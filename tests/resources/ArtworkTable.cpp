#include "ArtworkTable.h"

// Written out independently of ArtworkIds.h so that the tests check it.
const ExpectedArtwork kExpectedArtwork[16] = {
    {101, "resources/img/DRY.png", "img/DRY.png", 101, 5917, 61},
    {102, "resources/img/CHOP.png", "img/CHOP.png", 101, 5917, 61},
    {103, "resources/img/FADE.png", "img/FADE.png", 103, 5917, 61},
    {104, "resources/img/BY.png", "img/BY.png", 61, 106, 2},
    {105, "resources/img/BG.png", "img/BG.png", 912, 376, 1},
    {106, "resources/img/OUT.png", "img/OUT.png", 74, 4453, 61},
    {107, "resources/img/SYNC.png", "img/SYNC.png", 61, 106, 2},
    {108, "resources/img/NOTE.png", "img/NOTE.png", 72, 450, 15},
    {109, "resources/img/STEP.png", "img/STEP.png", 22, 2904, 33},
    {110, "resources/img/PATTERN.png", "img/PATTERN.png", 61, 106, 2},
    {111, "resources/img/STEPS.png", "img/STEPS.png", 72, 480, 16},
    {112, "resources/img/GATE.png", "img/GATE.png", 48, 2928, 61},
    {113, "resources/img/SWING.png", "img/SWING.png", 48, 2928, 61},
    {114, "resources/img/OFFSET.png", "img/OFFSET.png", 48, 2928, 61},
    {115, "resources/img/RETRIG.png", "img/RETRIG.png", 61, 106, 2},
    {116, "resources/img/PRESET.png", "img/PRESET.png", 130, 338, 13},
};
