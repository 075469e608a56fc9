# Copies system/ and skins/ into the runtime folder. Files the game writes
# itself (KeyConf.txt, System.ini) are copied only when absent, so a player's
# choices survive a rebuild.
foreach(dir system skins)
  file(GLOB_RECURSE files RELATIVE ${SRC}/${dir} ${SRC}/${dir}/*)
  foreach(f ${files})
    get_filename_component(name ${f} NAME)
    set(out ${DST}/${dir}/${f})
    if(name STREQUAL "KeyConf.txt" OR name STREQUAL "System.ini")
      if(NOT EXISTS ${out})
        configure_file(${SRC}/${dir}/${f} ${out} COPYONLY)
      endif()
    else()
      configure_file(${SRC}/${dir}/${f} ${out} COPYONLY)
    endif()
  endforeach()
endforeach()

# A fresh build opens the skin chooser on the bundled standard skin.
set(system_ini ${DST}/system/System.ini)
if(NOT EXISTS ${system_ini})
  file(WRITE ${system_ini} "[System]\r\nSkinPath=${DST}/skins/Standard\r\n")
endif()
