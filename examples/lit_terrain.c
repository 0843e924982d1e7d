/* Builds a small lit landscape with the engine and saves it as a BMP picture.
 *
 *   lit_terrain [picture.bmp]
 *
 * Needs no display: the picture is drawn into an in-memory SDL surface. */
#include <stdio.h>

#include <SDL.h>
#include <relvane/relvane.h>

enum { WIDTH = 320, HEIGHT = 240 };

/* Raises a few shapes onto the terrain, each drawn only where it is higher. */
static void draw_shapes(rv_Pipe *pipe, rv_Surface *land)
{
    rv_Pixel stone = { 150, 140, 130, 255, 256, 40 * 256 };
    rv_Pixel sand = { 210, 190, 120, 255, 256, 20 * 256 };
    rv_Pixel roof = { 170, 60, 40, 255, 256, 50 * 256 };

    rv_PipeSetZMode(pipe, RV_PIPE_Z_SET | RV_PIPE_ZTEST_ABOVE);
    rv_DrawDome(pipe, land, &stone, 80.0f, 70.0f, 40.0f, 30.0f);
    rv_DrawParaboloid(pipe, land, &sand, 230.0f, 170.0f, 50.0f, 25.0f);
    rv_DrawBox(pipe, land, &roof, 180.0f, 40.0f, 50.0f, 30.0f);

    /* A cone added on top of whatever is there, tinted half way. */
    rv_Pixel snow = { 250, 250, 255, 255, 256, 0 };
    rv_PipeSetZMode(pipe, RV_PIPE_Z_ADD);
    rv_PipeSetAlpha(pipe, RV_PIPE_ALPHA_CONST, 0.5);
    rv_DrawCone(pipe, land, &snow, 80.0f, 170.0f, 35.0f, 40.0f * 256.0f);
}

int main(int argc, char **argv)
{
    const char *path = argc > 1 ? argv[1] : "lit_terrain.bmp";
    int status = 1;

    rv_Context *context = rv_NewContext();
    if (!context) return 1;
    /* One pixel larger than the picture, as the tilted view likes it;
     * pipes come after the surfaces of their context. */
    rv_Surface *land = rv_NewSurface(context, WIDTH + 1, HEIGHT + 1);
    rv_Pipe *pipe = rv_NewPipe(context);
    SDL_Surface *screen = SDL_CreateRGBSurface(SDL_SWSURFACE, WIDTH, HEIGHT, 24,
#if SDL_BYTEORDER == SDL_LIL_ENDIAN
                                               0xFF0000, 0x00FF00, 0x0000FF, 0);
#else
                                               0x0000FF, 0x00FF00, 0xFF0000, 0);
#endif
    if (land && pipe && screen) {
        /* Grass everywhere, unit light, then fractal heights. */
        rv_Pixel grass = { 90, 140, 60, 255, 256, 0 };
        rv_FillRect(RV_FIELD_ALL, land, NULL, &grass);
        rv_ResetRandom(context, 0.5);
        rv_Fractal(land, 64, 40.0f, 60.0f, 0.45f);

        draw_shapes(pipe, land);

        /* Low ground floods, then light by slope and cast shadows. */
        rv_Pixel level = { 0, 0, 0, 0, 0, 25 * 256 };
        rv_RaiseToLevel(land, NULL, &level, 96);
        rv_ShadeSlopes(land, 35.0f, 0.3f);
        rv_ShadeShadows(land, 35.0f);
        rv_Pixel water = { 40, 80, 140, 100, 256, 25 * 256 };
        rv_ApplyWater(land, NULL, &water, 8);

        rv_ShowColour(land, screen);
        if (SDL_SaveBMP(screen, path) == 0) {
            printf("wrote %s (%dx%d)\n", path, WIDTH, HEIGHT);
            status = 0;
        } else {
            fprintf(stderr, "cannot write %s: %s\n", path, SDL_GetError());
        }
    }

    if (screen) SDL_FreeSurface(screen);
    if (pipe) rv_FreePipe(pipe);
    if (land) rv_FreeSurface(land);
    rv_FreeContext(context);
    return status;
}
