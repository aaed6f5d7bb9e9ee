# Copies the plug-in bundle into a folder hosts scan: VST_INSTALL_DIR from the
# environment, else ~/.vst.
if(DEFINED ENV{VST_INSTALL_DIR})
    set(target "$ENV{VST_INSTALL_DIR}")
else()
    set(target "$ENV{HOME}/.vst")
endif()
file(REMOVE_RECURSE "${target}/Orvella.vst")
file(MAKE_DIRECTORY "${target}")
file(COPY "${BUNDLE}" DESTINATION "${target}")
message(STATUS "Installed Orvella.vst into ${target}")
