# Run at build time with cmake -P: turns QDarkStyle's dark sheet from Debian's
# python3-qdarkstyle into the program's ":/qdarkstyle/style.qss".
#
#   SOURCE_DIR  the package's qdarkstyle/dark folder (darkstyle.qss, rc/)
#   COPYRIGHT   the package's copyright file, compiled in beside the sheet
#   RULES       our own rules, appended to the sheet
#   OUT_QSS     the sheet to write
#   OUT_QRC     the resource list to write: the sheet, the copyright file and
#               every image the sheet refers to (with its @2x variant), taken
#               from the package by absolute path below ":/qdarkstyle/rc/"
foreach(var SOURCE_DIR COPYRIGHT RULES OUT_QSS OUT_QRC)
    if(NOT DEFINED ${var})
        message(FATAL_ERROR "QDarkStyle.cmake: ${var} is not set")
    endif()
endforeach()

file(READ ${SOURCE_DIR}/darkstyle.qss sheet)
file(READ ${RULES} rules)

# The package's sheet finds its images under its own resource prefix; ours
# are compiled in below ":/qdarkstyle/".
string(REPLACE ":/qss_icons/dark/rc/" ":/qdarkstyle/rc/" sheet "${sheet}")

string(REGEX MATCHALL "url\\([^)]*\\)" refs "${sheet}")
if(NOT refs)
    message(FATAL_ERROR "QDarkStyle.cmake: ${SOURCE_DIR}/darkstyle.qss refers to no image; has the package changed?")
endif()
set(images "")
foreach(ref IN LISTS refs)
    if(NOT ref MATCHES "^url\\(\":/qdarkstyle/rc/([^\"/]+)\"\\)$")
        message(FATAL_ERROR "QDarkStyle.cmake: unexpected image reference ${ref} in the package's sheet")
    endif()
    set(image ${CMAKE_MATCH_1})
    if(NOT EXISTS ${SOURCE_DIR}/rc/${image})
        message(FATAL_ERROR "QDarkStyle.cmake: the sheet refers to ${image}, which the package lacks")
    endif()
    list(APPEND images ${image})
    # Qt picks the double-size variant by itself on high-density screens.
    string(REGEX REPLACE "\\.png$" "@2x.png" image2x ${image})
    if(EXISTS ${SOURCE_DIR}/rc/${image2x})
        list(APPEND images ${image2x})
    endif()
endforeach()
list(REMOVE_DUPLICATES images)
list(SORT images)

file(WRITE ${OUT_QSS}
    "/* QDarkStyleSheet (Colin Duquesnoy and contributors), from Debian's python3-qdarkstyle;\n"
    "   MIT licence for the sheet, CC-BY-4.0 for its images: see :/qdarkstyle/COPYRIGHT. */\n"
    "${sheet}\n"
    "/* KivDataBaseUpdater ---------------------------------------------------- */\n"
    "${rules}")

set(qrc "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n    <qresource prefix=\"/qdarkstyle\">\n")
get_filename_component(qrcdir ${OUT_QRC} DIRECTORY)
file(RELATIVE_PATH qss ${qrcdir} ${OUT_QSS})
string(APPEND qrc "        <file alias=\"style.qss\">${qss}</file>\n")
string(APPEND qrc "        <file alias=\"COPYRIGHT\">${COPYRIGHT}</file>\n")
foreach(image IN LISTS images)
    string(APPEND qrc "        <file alias=\"rc/${image}\">${SOURCE_DIR}/rc/${image}</file>\n")
endforeach()
string(APPEND qrc "    </qresource>\n</RCC>\n")
file(WRITE ${OUT_QRC} "${qrc}")
