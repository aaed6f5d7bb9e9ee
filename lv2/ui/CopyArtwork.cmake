# cmake -DFROM=<folder> -DTO=<folder> -P CopyArtwork.cmake: copies the editor's bitmaps and
# label font, and nothing else of the VST bundle's resources.
file(GLOB artwork ${FROM}/bmp*.png ${FROM}/OrvellaSans.*)
if(NOT artwork)
    message(FATAL_ERROR "No artwork in ${FROM}")
endif()
file(COPY ${artwork} DESTINATION ${TO})
