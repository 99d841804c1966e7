# The files embedded in the program, written out by ExtractTemplate(NAME, KIND, target).
# Each is kept here as a readable source; a file that is itself built (a workbook, a table)
# names the generator target that produces it:
#   tvx_embed(NAME KIND FILE [GENERATED_BY target])
# Included by src/core/CMakeLists.txt; generators must be defined before it.

# The workbook templates, built by tools/tvxworkbook from their descriptions (*.wb.txt).
tvx_embed(NIRTVA Model ${CMAKE_BINARY_DIR}/resources/embedded/NIRTVA.xls GENERATED_BY tvx_workbook_templates)
tvx_embed(JurnVFact MODEL ${CMAKE_BINARY_DIR}/resources/embedded/JurnVFact.xls GENERATED_BY tvx_workbook_templates)
tvx_embed(RegCasa MODEL ${CMAKE_BINARY_DIR}/resources/embedded/RegCasa.xls GENERATED_BY tvx_workbook_templates)
