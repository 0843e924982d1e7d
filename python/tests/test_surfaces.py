"""Surfaces, views, operations and errors."""
import gc
import threading

import numpy as np
import pytest

import relvane


def surface(width=8, height=6):
    return relvane.Surface(relvane.Context(), width, height)


def test_views_alias_the_surface_both_ways():
    s = surface(9, 7)
    window = s.sub(2, 1, 5, 4)
    rng = np.random.default_rng(7)
    heights = rng.integers(0, 65536, size=(4, 5), dtype=np.uint16)
    window.z[:] = heights  # written through a view ...
    other = relvane.Surface(s.context, 5, 4)
    relvane.copy_rect(relvane.FIELD_Z, s, (2, 1, 5, 4), other, 0, 0)
    assert np.array_equal(other.z, heights)  # ... seen by the engine
    relvane.fill_rect(relvane.FIELD_LIGHT | relvane.FIELD_RED, window, (1, 1, 2, 2), relvane.Pixel(red=9, light=300))
    assert (s.light[2:4, 3:5] == 300).all() and (s.red[2:4, 3:5] == 9).all()  # written by the engine
    assert s.light.sum() == 4 * 300 and s.pixels["light"].sum() == 4 * 300
    assert window.pixels.strides == (9 * 8, 8) and window.z.strides == (9 * 8, 8)
    assert s.colours.shape == (7, 9, 3) and s.colours[2, 3, 0] == 9
    for view in (s.pixels, s.z, s.light, s.colours, window.z):
        assert view.flags.writeable and not view.flags.owndata
        assert np.shares_memory(view, s.pixels)


def test_a_view_outlives_its_surface_object():
    z = surface(4, 3).z
    sub = surface(5, 5).sub(1, 1, 3, 3)
    gc.collect()
    z[:] = 7
    sub.z[:] = 9
    assert z.sum() == 7 * 12 and sub.z.sum() == 9 * 9
    relvane.fill_rect(relvane.FIELD_Z, sub, None, relvane.Pixel(z=5))
    assert sub.parent.z.sum() == 5 * 9


def test_shapes_and_pipe_runs_write_through_the_pipe():
    context = relvane.Context()
    s = relvane.Surface(context, 40, 30)
    pipe = relvane.Pipe(context)
    material = relvane.Pixel(200, 100, 50, 255, 256, 1000)
    relvane.draw_box(pipe, s, material, 5, 6, 10, 4)
    assert (s.z[6:10, 5:15] == 1000).all() and s.z.sum() == 1000 * 40
    shapes = [(relvane.draw_disc, 6), (relvane.draw_cone, 768), (relvane.draw_dome, 3), (relvane.draw_paraboloid, 3)]
    for k, (draw, size) in enumerate(shapes):
        args = (8.0 * k + 6, 20.0, 4.0) + ((float(size),) if draw is not relvane.draw_disc else ())
        before = s.z.copy()
        draw(pipe, s, material, *args)
        assert (s.z >= before).all() and (s.z != before).any()
    src = np.zeros(10, relvane.PIXEL)
    src["z"] = np.arange(10) * 300
    pipe.set_write(relvane.PIPE_WRITE_Z)
    relvane.run_pipe(pipe, src, s.pixels[0, :10])
    assert np.array_equal(s.z[0, :10], src["z"])
    context.reset_random(0.25)
    first = [context.random(100) for _ in range(5)]
    context.reset_random(0.25)
    assert first == [context.random(100) for _ in range(5)]
    assert context.threads == 1
    context.set_threads(2)
    assert context.threads == 2
    assert relvane.clip_rect(s, (-3, 25, 10, 10)) == (0, 25, 7, 5)


def test_displays_return_rgb_screens():
    s = surface(6, 5)
    relvane.fill_rect(relvane.FIELD_ALL, s, None, relvane.Pixel(10, 20, 30, 255, 256, 0))
    assert (relvane.show_colour(s) == [10, 20, 30]).all() and relvane.show_colour(s).shape == (5, 6, 3)
    assert relvane.show_colour(s, width=8, height=2)[:, 6:].sum() == 0
    assert (relvane.show_light(s) == relvane.show_light(s)[0, 0]).all()
    assert relvane.show_height(s, 64).shape == relvane.show_profiles(s, 2).shape == (5, 6, 3)
    assert relvane.show_tilted(s, 45.0).shape == (4, 6, 3)
    # Screens larger than the surface: only what both cover is drawn.
    for show in (relvane.show_colour, relvane.show_light, lambda s, **k: relvane.show_tilted(s, 30.0, **k)):
        assert show(s, width=9, height=11).shape == (11, 9, 3)
    assert relvane.show_colour(surface(0, 0)).shape == (0, 0, 3)


context = relvane.Context()
other = relvane.Context()
s = relvane.Surface(context, 8, 6)
pipe = relvane.Pipe(context)
BAD = [
    (TypeError, "width", lambda: relvane.Surface(context, 1.5, 2)),
    (TypeError, "context", lambda: relvane.Surface("context", 1, 2)),
    (ValueError, "height", lambda: relvane.Surface(context, 1, -2)),
    (MemoryError, "surface", lambda: relvane.Surface(context, 2**31 - 1, 2**31 - 1)),
    (ValueError, "rect", lambda: s.sub(4, 0, 5, 1)),
    (ValueError, "red", lambda: relvane.Pixel(red=256)),
    (TypeError, "rect", lambda: relvane.fill_rect(relvane.FIELD_ALL, s, (1, 2), relvane.Pixel())),
    (ValueError, "contexts", lambda: relvane.draw_disc(relvane.Pipe(other), s, relvane.Pixel(), 1, 1, 1)),
    (TypeError, "src", lambda: relvane.run_pipe(pipe, np.zeros(4), s.pixels[0, :4])),
    (ValueError, "span_size", lambda: relvane.run_pipe(pipe, np.zeros(101, relvane.PIXEL), np.zeros(101, relvane.PIXEL))),
    (ValueError, "dst", lambda: relvane.run_pipe(pipe, np.zeros(4, relvane.PIXEL), s.pixels[:4, 0])),
    (ValueError, "width", lambda: relvane.show_colour(s, width=16385)),
    (ValueError, "count", lambda: context.set_threads(-1)),
    (ValueError, "0 to 2", lambda: relvane.render(roughness=2.5)),
    (ValueError, "1 to 16384", lambda: relvane.render(width=0)),
    (ValueError, "colour, profiles", lambda: relvane.render(mode="shaded")),
    (TypeError, "tile", lambda: relvane.render(tile=2.0)),
    (TypeError, "shapes", lambda: relvane.render(shapes=1)),
    (TypeError, "unexpected keyword argument 'size'", lambda: relvane.render(size=3)),
    (TypeError, "terrain", lambda: relvane.render(terrain=[[0]])),
    (TypeError, "terrain", lambda: relvane.render(width=4, height=3, terrain=np.zeros((4, 5), np.int32))),
    (ValueError, "terrain", lambda: relvane.render(width=4, height=3, terrain=np.zeros(4, np.uint16))),
    (ValueError, "give height", lambda: relvane.render(terrain=np.zeros((1, 5), np.uint16))),
    (TypeError, "colours", lambda: relvane.render(width=4, height=3, terrain=np.zeros((4, 5), np.uint16),
                                                  colours=np.zeros((4, 5, 3), np.float32))),
    (ValueError, "colours", lambda: relvane.render(width=4, height=3, terrain=np.zeros((4, 5), np.uint16),
                                                   colours=np.zeros((4, 5), np.uint8))),
    (ValueError, "colours", lambda: relvane.landscape(colours=np.zeros((481, 641, 3), np.uint8))),
    (ValueError, "threads", lambda: relvane.landscape(width=4, height=3, threads=-2)),
    (ValueError, "threads: .* 0 to 1024", lambda: relvane.render(threads=1025)),
]


@pytest.mark.parametrize("error, words, call", BAD, ids=[f"{e.__name__}-{w}" for e, w, _ in BAD])
def test_bad_inputs_raise(error, words, call):
    with pytest.raises(error, match=words):
        call()


def test_threads_sharing_a_context_take_turns():
    # One pipe and the context's scratch spans serve both threads' shapes.
    context = relvane.Context()
    pipe = relvane.Pipe(context)

    def draw(s, k):
        for i in range(300):
            material = relvane.Pixel(60 * k, 90, 30, 255, 256, 90 * i)
            relvane.draw_dome(pipe, s, material, (i * 37) % 600, (i * 53 + k) % 600, 150.0 + k, 30.0)

    # Without turns, a run of one thread in the spans another is filling
    # leaves wrong heights and colours.
    together = [relvane.Surface(context, 600, 600) for _ in range(2)]
    threads = [threading.Thread(target=draw, args=(s, k)) for k, s in enumerate(together)]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    for k, s in enumerate(together):
        alone = relvane.Surface(context, 600, 600)
        draw(alone, k)
        assert np.array_equal(s.pixels, alone.pixels)
