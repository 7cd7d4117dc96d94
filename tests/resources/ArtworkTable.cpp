#include "ArtworkTable.h"

// Written out independently of ArtworkIds.h so that the tests check it.
const ExpectedArtwork kExpectedArtwork[8] = {
    {101, "resources/img/DRY.png", "img/DRY.png", 101, 5917, 61},
    {102, "resources/img/CHOP.png", "img/CHOP.png", 101, 5917, 61},
    {103, "resources/img/FADE.png", "img/FADE.png", 103, 5917, 61},
    {104, "resources/img/BY.png", "img/BY.png", 61, 106, 2},
    {105, "resources/img/BG.png", "img/BG.png", 912, 184, 1},
    {106, "resources/img/OUT.png", "img/OUT.png", 74, 4453, 61},
    {107, "resources/img/SYNC.png", "img/SYNC.png", 61, 106, 2},
    {108, "resources/img/NOTE.png", "img/NOTE.png", 72, 450, 15},
};
