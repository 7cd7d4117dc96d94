// Test hook: forces the Wine detection result (1 under Wine, 0 native,
// -1 to read the registry again on next use) so both text paths can be exercised.
#pragma once

void ForceWineDetection(int flag);
