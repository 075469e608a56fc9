# Run by `cmake --install` after the files are copied: the link in bin, the
# desktop entry naming the installed executable, and the installed System.ini
# seeded with the installed standard skin, so that the chooser opens on it.
function(dexlora_abs out dir)
  if(IS_ABSOLUTE "${dir}")
    set(${out} "${dir}" PARENT_SCOPE)
  else()
    set(${out} "${DEXLORA_PREFIX}/${dir}" PARENT_SCOPE)
  endif()
endfunction()

dexlora_abs(bindir "${DEXLORA_BINDIR}")
dexlora_abs(datadir "${DEXLORA_DATADIR}")
dexlora_abs(programdir "${DEXLORA_PROGRAM_DIR}")
dexlora_abs(skinsdir "${DEXLORA_SKINS_DIR}")

# bin/dexlora: a relative link, so that a staged tree stays right when moved
# into place.
file(MAKE_DIRECTORY "${DEXLORA_STAGE}${bindir}")
file(RELATIVE_PATH target "${bindir}" "${programdir}/dexlora")
file(CREATE_LINK "${target}" "${DEXLORA_STAGE}${bindir}/dexlora" SYMBOLIC)
message(STATUS "Installing: ${DEXLORA_STAGE}${bindir}/dexlora -> ${target}")

# Exec holds one argument: "%" doubled; quoted when it holds a character
# the desktop entry reserves, with \ " ` $ escaped inside the quotes, and
# every backslash doubled once more for the value's own escaping.
set(DEXLORA_EXEC "${bindir}/dexlora")
string(REPLACE "%" "%%" DEXLORA_EXEC "${DEXLORA_EXEC}")
if(DEXLORA_EXEC MATCHES "[] \t\"'\\\\<>~|&;$*?#()`[]")
  string(REPLACE "\\" "\\\\" quoted "${DEXLORA_EXEC}")
  string(REPLACE "\"" "\\\"" quoted "${quoted}")
  string(REPLACE "`" "\\`" quoted "${quoted}")
  string(REPLACE "$" "\\$" quoted "${quoted}")
  string(REPLACE "\\" "\\\\" quoted "${quoted}")
  set(DEXLORA_EXEC "\"${quoted}\"")
endif()
configure_file("${DEXLORA_SOURCE_DIR}/dist/dexlora.desktop.in"
               "${DEXLORA_STAGE}${datadir}/applications/dexlora.desktop" @ONLY)
message(STATUS "Installing: ${DEXLORA_STAGE}${datadir}/applications/dexlora.desktop")

# System.ini is Shift_JIS with CR LF line ends. A copy that already names an
# existing skin folder is a player's choice and stays; one naming a folder
# that is gone (an earlier prefix) is seeded again.
set(ini "${DEXLORA_STAGE}${programdir}/system/System.ini")
set(skin "${skinsdir}/Standard")
set(keep FALSE)
if(EXISTS "${ini}")
  file(STRINGS "${ini}" lines REGEX "^[Ss][Kk][Ii][Nn][Pp][Aa][Tt][Hh]=")
  foreach(line IN LISTS lines)
    string(REGEX REPLACE "^[^=]*=(.*)$" "\\1" chosen "${line}")
    string(STRIP "${chosen}" chosen)
    # The game quotes a folder whose name starts or ends in a blank.
    if(chosen MATCHES "^\"(.*)\"$" OR chosen MATCHES "^'(.*)'$")
      string(REGEX REPLACE "^.(.*).$" "\\1" chosen "${chosen}")
    endif()
    if(NOT chosen STREQUAL "" AND IS_DIRECTORY "${DEXLORA_STAGE}${chosen}")
      set(keep TRUE)
    endif()
  endforeach()
endif()
if(NOT keep)
  # Written beside the file and renamed over it, so that it is never left
  # half-written.
  set(text "[System]\r\nSkinPath=${skin}\r\n")
  file(WRITE "${ini}.new" "${text}")
  set(seeded TRUE)
  if(skin MATCHES "[^\t -~]")
    # A path beyond ASCII is written in the file's code page; one that code
    # page cannot hold is left out, and the chooser starts from its default.
    execute_process(COMMAND iconv -f UTF-8 -t CP932 "${ini}.new"
                    OUTPUT_FILE "${ini}.cp932" RESULT_VARIABLE failed ERROR_QUIET)
    if(failed)
      set(seeded FALSE)
      message(WARNING "System.ini: Shift_JIS cannot hold the skin path ${skin}; not seeded")
    else()
      file(RENAME "${ini}.cp932" "${ini}.new")
    endif()
    file(REMOVE "${ini}.cp932")
  endif()
  if(seeded)
    file(RENAME "${ini}.new" "${ini}")
    message(STATUS "Installing: ${ini} (SkinPath=${skin})")
  else()
    file(REMOVE "${ini}.new")
  endif()
endif()
