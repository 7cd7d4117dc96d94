# Who Vellox is, in one place. The version is the project's (root
# CMakeLists.txt); the rest is set here. The generated VelloxIdentity.h carries
# it to the effect, the module factory and the Windows version resource; the
# module description file and the packages are written from these variables.
set(VELLOX_NAME "${PROJECT_NAME}")
set(VELLOX_VENDOR "Quenwick")
set(VELLOX_URL "https://www.quenwick.com")
set(VELLOX_EMAIL "info@quenwick.com")
string(TOLOWER "${VELLOX_URL}/products/${VELLOX_NAME}" VELLOX_PRODUCT_PAGE)
set(VELLOX_MAKER_CODE "Qnwk")
set(VELLOX_PLUGIN_CODE "VLX1")
# The plug-in's id in the other formats (reverse domain name, lower case).
set(VELLOX_PLUGIN_ID "com.quenwick.vellox")
# The LV2 plug-ins' URI; the stereo and the mono plug-in add "#stereo", "#mono".
set(VELLOX_LV2_URI "${VELLOX_PRODUCT_PAGE}")

# The module's factory and its one class, as hosts read them.
set(VELLOX_FACTORY_FLAGS 16)              # kUnicode
set(VELLOX_CLASS_CARDINALITY 2147483647)  # kManyInstances
set(VELLOX_CLASS_CATEGORY "Audio Module Class")
set(VELLOX_CLASS_FLAGS 2)                 # kSimpleModeSupported
set(VELLOX_CLASS_SUBCATEGORIES "Fx")
set(VELLOX_CLASS_VENDOR "")               # empty: the factory's vendor stands in
set(VELLOX_CLASS_SDK_VERSION "VST 3.6.12")

# The class id as four 32-bit words: two of its own, then the maker and the
# plug-in code as big-endian four-character codes. The SDK's INLINE_UID lays
# the words out in the platform's byte order (COM-compatible on Windows), so
# every build answers the same FUID, whose string form is the four words in
# hexadecimal.
string(HEX "${VELLOX_MAKER_CODE}" _maker_word)
string(HEX "${VELLOX_PLUGIN_CODE}" _plugin_word)
string(TOUPPER "F2AEE70D;00DE4F4E;${_maker_word};${_plugin_word}" VELLOX_CLASS_UID_WORDS)
string(JOIN "" VELLOX_CLASS_CID ${VELLOX_CLASS_UID_WORDS})
list(TRANSFORM VELLOX_CLASS_UID_WORDS PREPEND "0x" OUTPUT_VARIABLE _uid_words)
string(JOIN ", " VELLOX_CLASS_UID_INITIALIZER ${_uid_words})

configure_file("${CMAKE_CURRENT_LIST_DIR}/VelloxIdentity.h.in" "${PROJECT_BINARY_DIR}/identity/VelloxIdentity.h" @ONLY)
add_library(vellox_identity INTERFACE)
target_include_directories(vellox_identity INTERFACE "${PROJECT_BINARY_DIR}/identity")
