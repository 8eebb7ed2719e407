# Checks the help files: every link of the contents leads to an anchor, both languages have
# the same anchors, nothing is loaded from outside the file, every setting and every safetycrc
# command is described, and the keyboard table names the mnemonics the language really uses.
#
#   cmake -DRESOURCES=<resources folder> -P check_help.cmake
cmake_minimum_required(VERSION 3.25)
include("${CMAKE_CURRENT_LIST_DIR}/text_table.cmake")

include("${CMAKE_CURRENT_LIST_DIR}/check_support.cmake")

set(settings_keys SelectedLanguage EditModeEnabled CrcDisplayFormat CloseCommitDialog
                  ProjectFolderPath DebugTpf EnableLanguage DisplayName ConfigurationFile
                  ResourceDll MD5CheckSumDll MD5CheckSumConf)
set(mnemonic_keys control.1012 control.1018 control.1037 control.1038 control.1 control.1030
                  control.1031 control.1036 control.1032 menu.0 menu.1)

set(anchor_sets)
foreach(lang IN ITEMS EN DE)
    set(help "${RESOURCES}/help/NorvaneSafetyCRCToolHelp${lang}.html")
    if(NOT EXISTS "${help}")
        fail("${help} is missing")
        continue()
    endif()
    file(READ "${help}" html)

    string(REGEX MATCHALL "id=\"[^\"]+\"" ids "${html}")
    string(REGEX REPLACE "id=\"([^\"]+)\"" "\\1" ids "${ids}")
    set(unique ${ids})
    list(REMOVE_DUPLICATES unique)
    list(LENGTH ids id_count)
    list(LENGTH unique unique_count)
    if(NOT id_count EQUAL unique_count)
        fail("${lang}: an anchor is defined twice")
    endif()
    string(REGEX MATCHALL "href=\"#[^\"]*\"" links "${html}")
    foreach(link IN LISTS links)
        string(REGEX REPLACE "href=\"#([^\"]*)\"" "\\1" target "${link}")
        if(NOT target IN_LIST ids)
            fail("${lang}: the link to #${target} leads nowhere")
        endif()
    endforeach()
    list(SORT unique)
    list(APPEND anchor_sets "${lang}:${unique}")
    set(anchors_${lang} "${unique}")

    # Self-contained: the help is opened from the program folder, perhaps without network.
    foreach(pattern "src=" "href=\"[a-zA-Z]+:" "<link" "<script" "url\\(" "@import"
                    "<iframe" "<img")
        if(html MATCHES "${pattern}")
            fail("${lang}: refers to an outside resource ('${pattern}')")
        endif()
    endforeach()

    foreach(key IN LISTS settings_keys)
        if(NOT html MATCHES "<code>${key}</code>")
            fail("${lang}: the setting ${key} is not described")
        endif()
    endforeach()
    foreach(command tree xml md5 catalog crc tpf project record audit diff selftest)
        if(NOT html MATCHES "safetycrc ${command} ")
            fail("${lang}: the safetycrc command ${command} is not described")
        endif()
    endforeach()

    # The keyboard table lists Alt with each mnemonic of the window and the menu bar.
    string(TOLOWER "${lang}" folder)
    norvane_read_text_table("${RESOURCES}/lang/${folder}/strings.txt" texts)
    foreach(key IN LISTS mnemonic_keys)
        norvane_text_value("${texts_RAW_${key}}" text)
        norvane_mnemonic("${text}" letter)
        if(letter STREQUAL "" OR letter STREQUAL "?")
            continue()  # reported by the check of the language sources
        endif()
        string(FIND "${html}" "<kbd>Alt</kbd>+<kbd>${letter}</kbd>" at)
        if(at LESS 0)
            fail("${lang}: the keyboard table lacks Alt+${letter} (${key}, '${text}')")
        endif()
    endforeach()
endforeach()

if(DEFINED anchors_EN AND DEFINED anchors_DE AND NOT anchors_EN STREQUAL anchors_DE)
    list(JOIN anchors_EN ", " en)
    list(JOIN anchors_DE ", " de)
    fail("the two help files have different anchors: ${en} and ${de}")
endif()

norvane_report_failures("help files")
message(STATUS "help files: all checks passed")
