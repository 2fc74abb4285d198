#pragma once
// PNG images for the font editor.
